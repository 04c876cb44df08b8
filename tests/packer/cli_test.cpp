// The kestrel-pack executable: exit status, one-line errors on standard
// error, and the default stub beside the packer.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    CliTest() {
        dir_.write("stub.exe", testing::make_stub());
        dir_.write("app.toml", "[java]\nmain_class = \"Main\"\n");
    }

    CommandResult run(const std::string& arguments, const fs::path& program = KESTREL_PACK_EXE) const {
        const std::string command = "cd '" + dir_.path().string() + "' && '" + program.string() + "' " + arguments +
                                    " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(dir_ / "stdout.txt"),
                read_file(dir_ / "stderr.txt")};
    }

    static void expect_one_line_error(const CommandResult& result, const std::string& reason) {
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err.rfind("kestrel-pack: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }

    testing::ScratchDir dir_;
};

TEST_F(CliTest, BuildUsesTheStubAndRuntimeJarBesideThePacker) {
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "stub");
    fs::copy_file(KESTREL_PACK_EXE, dir_ / "bin/kestrel-pack");
    fs::copy_file(dir_ / "stub.exe", dir_ / "stub/kestrel-stub.exe");
    dir_.write("java/kestrel-runtime.jar", "runtime classes");
    const CommandResult build = run("build app.toml -o out.exe", dir_ / "bin/kestrel-pack");
    EXPECT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(read_file(dir_ / "out.exe").substr(0x400, 0x200), testing::make_stub().substr(0x400, 0x200));
    const CommandResult inspect = run("inspect out.exe");
    EXPECT_NE(inspect.out.find("payload files: 1\n  \"kestrel-runtime.jar\" 15 bytes\n"), std::string::npos)
        << inspect.out;
}

TEST_F(CliTest, TheArchitectureChoosesTheStubUnlessOneIsNamed) {
    fs::create_directories(dir_ / "bin");
    fs::copy_file(KESTREL_PACK_EXE, dir_ / "bin/kestrel-pack");
    dir_.write("stub/kestrel-stub.exe", testing::make_stub());
    dir_.write("stub/kestrel-stub64.exe", testing::make_stub64());
    dir_.write("x64.toml", "[launcher]\narch = \"x64\"\n[payload]\nruntime_jar = false\n");
    dir_.write("x86.toml", "[launcher]\narch = \"x86\"\n[payload]\nruntime_jar = false\n");
    dir_.write("plain.toml", "[payload]\nruntime_jar = false\n");
    const fs::path packer = dir_ / "bin/kestrel-pack";
    for (const auto& [project, architecture] : std::vector<std::pair<std::string, std::string>>{
             {"x64.toml", "x64"}, {"x86.toml", "x86"}, {"plain.toml", "x86"}}) {
        const CommandResult build = run("build " + project + " -o out.exe", packer);
        EXPECT_EQ(build.status, 0) << build.err;
        EXPECT_NE(build.out.find(": " + architecture + ", "), std::string::npos) << build.out;
        const CommandResult inspect = run("inspect out.exe");
        EXPECT_EQ(inspect.out.rfind("layout: ok, " + architecture + ", configuration block at offset", 0), 0u)
            << inspect.out;
    }
    // A named stub of the other architecture serves a project that does not
    // ask for one, and is refused by one that does.
    EXPECT_EQ(run("build plain.toml -o out.exe --stub stub/kestrel-stub64.exe", packer).status, 0);
    EXPECT_NE(run("inspect out.exe").out.find("x64"), std::string::npos);
    expect_one_line_error(run("build x86.toml -o out2.exe --stub stub/kestrel-stub64.exe", packer),
                          "kestrel-stub64.exe: the stub is an x64 stub, but launcher.arch is \"x86\"");
    fs::remove(dir_ / "stub/kestrel-stub64.exe");
    expect_one_line_error(run("build x64.toml -o out2.exe", packer), "cannot read the stub");
    EXPECT_FALSE(fs::exists(dir_ / "out2.exe"));
}

TEST_F(CliTest, AnotherRuntimeJarIsNamedOnTheCommandLine) {
    dir_.write("other.jar", "other");
    const CommandResult build = run("build app.toml -o out.exe --stub stub.exe --runtime-jar other.jar");
    EXPECT_EQ(build.status, 0) << build.err;
    EXPECT_NE(run("inspect out.exe").out.find("\"kestrel-runtime.jar\" 5 bytes"), std::string::npos);
    expect_one_line_error(run("build app.toml -o out2.exe --stub stub.exe --runtime-jar missing.jar"),
                          "cannot read the file missing.jar");
    EXPECT_FALSE(fs::exists(dir_ / "out2.exe"));
}

TEST_F(CliTest, BadInputFailsWithOneLineAndNoOutput) {
    dir_.write("bad.toml", "[launcher]\ntype = \"gui\"\n");
    expect_one_line_error(run("build bad.toml -o out.exe --stub stub.exe"), "bad.toml:2:8: launcher.type");
    EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
    expect_one_line_error(run("inspect stub.exe"), "stub.exe: no configuration block");
    expect_one_line_error(run("inspect app.toml"), "app.toml: file is too small");
}

TEST_F(CliTest, InspectShowsTheVersionInformationAndTheManifest) {
    dir_.write("app.ico", testing::make_icon({{32, 32, 'a'}}));
    dir_.write("v.toml", "[launcher]\nicon = \"app.ico\"\n[version]\nfile_version = \"1.2.3.4\"\n"
                         "product_name = \"Caf\u00e9\"\n[manifest]\nlong_path_aware = true\n"
                         "[payload]\nruntime_jar = false\n");
    ASSERT_EQ(run("build v.toml -o out.exe --stub stub.exe").status, 0);
    const CommandResult inspect = run("inspect out.exe");
    for (const char* line : {"  VERSION 1 (0) ", "    file version: 1.2.3.4\n", "    product version: 1.2.3.4\n",
                             "    language 0x0409, code page 1200\n", "    ProductName = \"Caf\u00e9\"\n",
                             "    long path aware: true\n", "    images: 32x32/32 (icon 1)\n"}) {
        EXPECT_NE(inspect.out.find(line), std::string::npos) << line << "\nin:\n" << inspect.out;
    }
}

TEST_F(CliTest, AnIconFileThatIsNoIconIsNamedAndNothingIsWritten) {
    dir_.write("logo.ico", "GIF89a, not an icon");
    dir_.write("icon.toml", "[launcher]\nicon = \"logo.ico\"\n");
    const CommandResult build = run("build icon.toml -o out.exe --stub stub.exe");
    expect_one_line_error(build, "icon.toml:2:8: launcher.icon: logo.ico: not an icon file");
    EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

TEST_F(CliTest, UsageErrorsAreOneLinePointingToHelpWithStatusTwo) {
    for (const auto& [arguments, problem] : std::vector<std::pair<std::string, std::string>>{
             {"", "no command given (build, inspect or check-stub)"},
             {"pack app.toml", "pack"},
             {"build app.toml", "--output is required"},
             {"build app.toml -o out.exe --fast", "--fast"},
             {"inspect", "launcher is required"}}) {
        const CommandResult result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
        EXPECT_EQ(result.err.rfind("kestrel-pack: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(problem), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("(see kestrel-pack --help)\n"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

TEST_F(CliTest, VersionAndHelpArePrintedWithStatusZero) {
    const CommandResult version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("kestrel-pack ") + KESTREL_VERSION + "\n");
    const CommandResult help = run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("check-stub"), std::string::npos) << help.out;
}

TEST_F(CliTest, CheckStubListsSectionsOrGivesTheReason) {
    const CommandResult good = run("check-stub stub.exe");
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.out.rfind("stub layout: ok\narchitecture: x86\n", 0), 0u) << good.out;
    EXPECT_NE(good.out.find("  .rsrc    raw data at 0x00000C00, 0x00000200 bytes\n"), std::string::npos) << good.out;
    dir_.write("stub64.exe", testing::make_stub64());
    const CommandResult good64 = run("check-stub stub64.exe");
    EXPECT_EQ(good64.status, 0) << good64.err;
    EXPECT_NE(good64.out.find("architecture: x64\n"), std::string::npos) << good64.out;
    EXPECT_NE(good64.out.find("  .pdata   raw data at 0x00000600"), std::string::npos) << good64.out;
    EXPECT_NE(good.out.find("file size: 3584 bytes"), std::string::npos) << good.out;
    dir_.write("long.exe", testing::make_stub() + "tail");
    expect_one_line_error(run("check-stub long.exe"), "long.exe: the end of .rsrc (0xE00) differs from the file size");
}

}  // namespace
}  // namespace kestrel
