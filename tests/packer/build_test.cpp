// Building launchers and reading them back: the bytes behind the stub, the
// scrambled payload, repeatable output, and that a failed build leaves the
// output untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "builder.h"
#include "commands.h"
#include "config_block.h"
#include "file_io.h"
#include "inspector.h"
#include "pack_error.h"
#include "runtime_bundle.h"
#include "stub_layout.h"
#include "test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::hex_bytes;
using testing::read_file;

class BuildTest : public ::testing::Test {
protected:
    BuildTest() {
        dir_.write("stub.exe", testing::make_stub());
        dir_.write("app.jar", std::string("\x00\x0B\xFF", 3));
        dir_.write("notes.txt", "");
    }

    BuildRequest request(const std::string& output = "out.exe") const {
        return {dir_ / "app.toml", dir_ / output, dir_ / "stub.exe"};
    }

    std::string build(const std::string& toml, const std::string& output = "out.exe") {
        dir_.write("app.toml", toml);
        build_launcher(request(output));
        return read_file(dir_ / output);
    }

    testing::ScratchDir dir_;
};

constexpr const char* kSmallProject = R"(
    [launcher]
    type = "windowed"
    [java]
    main_class = "com.example.Main"
    [payload]
    files = ["app.jar", "notes.txt"]
)";

TEST_F(BuildTest, TheStubIsFollowedByTheBlockAndTheScrambledPayload) {
    const std::string launcher = build(kSmallProject);
    const std::string stub = testing::make_stub();
    // The sections before .rsrc are the stub's; .rsrc is rebuilt.
    EXPECT_EQ(launcher.substr(0x400, 0x800), stub.substr(0x400, 0x800));
    const StubLayout layout = check_stub_layout(launcher, LayoutSubject::Launcher);
    const ParsedBlock parsed = parse_config_block(launcher, layout.block_offset);
    EXPECT_EQ(parsed.block.narrow.at(107), "1");
    EXPECT_EQ(parsed.block.narrow.at(122), "com.example.Main");
    EXPECT_EQ(parsed.block.narrow.at(2002), "2");
    EXPECT_EQ(parsed.block.narrow.at(2003), "app.jar;notes.txt;");
    EXPECT_EQ(launcher.substr(parsed.payload_offset), hex_bytes("03 00 00 00 0B 00 F4  00 00 00 00"));
}

TEST_F(BuildTest, TheSameInputsGiveTheSameBytes) {
    EXPECT_EQ(build(kSmallProject, "first.exe"), build(kSmallProject, "second.exe"));
}

TEST_F(BuildTest, InspectListsRecordsAndPayloadOfABuiltLauncher) {
    const std::string launcher =
        build(std::string(kSmallProject) + "[texts]\ncaption = \"\u00dcber \U0001F600\"\n" +
              "[messages]\nbad_parameters = \"Bad \\\"quote\\\"\\r\\n\"\n");
    std::ostringstream listing;
    run_inspect(dir_ / "out.exe", listing);
    const std::string layout_line = "layout: ok, x86, configuration block at offset " +
                                    std::to_string(check_stub_layout(launcher, LayoutSubject::Launcher).block_offset) +
                                    "\n";
    for (const std::string& line : std::vector<std::string>{layout_line, "  122 java.main_class = \"com.example.Main\"\n",
          "  1005 messages.vm_start_failed = \"The JVM could not be started.\"\n",
          "  2003 payload.files = \"app.jar;notes.txt;\"\n", "  20013 texts.caption = \"\u00dcber \U0001F600\"\n",
          "  1007 messages.bad_parameters = \"Bad \\\"quote\\\"\\r\\n\"\n",
          "payload files: 2\n  \"app.jar\" 3 bytes\n  \"notes.txt\" 0 bytes\n", "signature: none\n"}) {
        EXPECT_NE(listing.str().find(line), std::string::npos) << line << "\nin:\n" << listing.str();
    }
}

TEST_F(BuildTest, ALauncherCutInItsPayloadIsNotALauncher) {
    const std::string launcher = build(kSmallProject);
    const std::string cut = launcher.substr(0, launcher.size() - 6);
    try {
        read_launcher(cut);
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find("content of payload file app.jar"), std::string::npos) << error.what();
    }
}

struct FailedBuild {
    const char* name;
    const char* toml;
    const char* output;
    const char* reason;
    const char* stub = nullptr;  // replaces the good stub when set
};

void PrintTo(const FailedBuild& value, std::ostream* out) {
    *out << value.name;
}

class FailedBuildTest : public BuildTest, public ::testing::WithParamInterface<FailedBuild> {
protected:
    std::size_t file_count() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()));
    }
};

TEST_P(FailedBuildTest, LeavesTheOutputAsItWas) {
    const FailedBuild& failure = GetParam();
    dir_.write("app.toml", failure.toml);
    if (failure.stub != nullptr) dir_.write("stub.exe", failure.stub);
    if (!fs::exists(dir_ / failure.output)) dir_.write(failure.output, "previous content");
    const std::string output_before = read_file(dir_ / failure.output);
    const std::size_t files_before = file_count();
    try {
        build_launcher(request(failure.output));
        FAIL() << "built";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find(failure.reason), std::string::npos) << error.what();
    }
    EXPECT_EQ(read_file(dir_ / failure.output), output_before);
    EXPECT_EQ(file_count(), files_before);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, FailedBuildTest,
    ::testing::Values(
        FailedBuild{"BadSetting", "[launcher]\ntype = \"gui\"\n", "out.exe", "unknown value 'gui'"},
        FailedBuild{"MissingPayload", "[payload]\nfiles = [\"gone.jar\"]\n", "out.exe", "cannot read the file"},
        FailedBuild{"StubTooSmall", "", "out.exe", "stub.exe: file is too small", "MZ"},
        FailedBuild{"OutputIsProject", "", "app.toml", "is the project file"},
        FailedBuild{"OutputIsStub", "", "stub.exe", "is the stub"},
        FailedBuild{"OutputIsPayload", "[payload]\nfiles = [\"app.jar\"]\n", "app.jar", "is the payload file"}),
    testing::ParamName());

// The payload record of `name`, unscrambled.
std::string payload_content(const std::string& launcher, const LauncherContents& contents, const std::string& name) {
    std::size_t offset = contents.parsed.payload_offset;
    for (const PayloadEntry& entry : contents.payload) {
        if (entry.name == name) {
            std::string content = launcher.substr(offset + 4, static_cast<std::size_t>(entry.size));
            for (char& c : content) c = static_cast<char>(c ^ 0x0B);
            return content;
        }
        offset += 4 + static_cast<std::size_t>(entry.size);
    }
    return {};
}

TEST_F(BuildTest, ABundledRuntimeTravelsAsTheArchiveWithItsSizeKey) {
    dir_.write("image/bin/java.exe", "java");
    dir_.write("image/bin/client/jvm.dll", testing::make_stub());
    const std::string launcher = build("[runtime]\nbundle = \"image\"\n[payload]\nfiles = [\"app.jar\"]\n");
    const LauncherContents contents = read_launcher(launcher);
    ASSERT_EQ(contents.payload.size(), 2u);
    EXPECT_EQ(contents.payload[1].name, "jre.tar.gz");
    EXPECT_EQ(contents.parsed.block.narrow.at(2003), "app.jar;jre.tar.gz;");
    const RuntimeBundle bundle = scan_runtime_image(dir_ / "image", "");
    EXPECT_EQ(contents.parsed.block.narrow.at(151), std::to_string(bundle.tar_size));
    write_runtime_archive(bundle, dir_ / "expected.tar.gz");
    EXPECT_EQ(payload_content(launcher, contents, "jre.tar.gz"), read_file(dir_ / "expected.tar.gz"));
    fs::remove(dir_ / "expected.tar.gz");
    // The archive was written beside the output and is gone again.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"app.jar", "app.toml", "image", "notes.txt", "out.exe", "stub.exe"}));
}

TEST_F(BuildTest, ABundledRuntimeConflictsAreReportedWithTheSettings) {
    dir_.write("image/bin/java.exe", "java");
    dir_.write("image/bin/server/jvm.dll", testing::make_stub64());
    const auto error_of = [&](const std::string& toml) {
        try {
            build(toml);
        } catch (const PackError& error) {
            return std::string(error.what());
        }
        return std::string("(no error)");
    };
    EXPECT_NE(error_of("[runtime]\nbundle = \"image\"\n").find(
                  "runtime.bundle: bin/server/jvm.dll is an x64 library: an x86 launcher cannot load it"),
              std::string::npos);
    dir_.write("image/bin/client/jvm.dll", testing::make_stub());
    EXPECT_NE(error_of("[runtime]\narchive_size = 5\nbundle = \"image\"\n")
                  .find("runtime.bundle: key 151 is already set by runtime.archive_size"),
              std::string::npos);
    EXPECT_NE(error_of("[runtime]\nbundle = \"image\"\n[payload]\nfiles = [{ source = \"app.jar\", name = "
                       "\"JRE.tar.gz\" }]\n")
                  .find("the payload file 'JRE.tar.gz' takes the name jre.tar.gz of the bundled runtime"),
              std::string::npos);
    EXPECT_NE(error_of("[runtime]\nbundle = \"app.jar\"\n").find("runtime.bundle: "), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "out.exe"));
}

TEST_F(BuildTest, AnOutputNamedThroughAnotherPathIsStillRecognisedAsAnInput) {
    dir_.write("app.toml", kSmallProject);
    fs::create_directory(dir_ / "sub");
    try {
        build_launcher(request("sub/../app.jar"));
        FAIL() << "built";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find("is the payload file"), std::string::npos) << error.what();
    }
    EXPECT_EQ(read_file(dir_ / "app.jar"), std::string("\x00\x0B\xFF", 3));
}

TEST(AtomicOutputFile, ReplacesTheTargetOnlyOnCommit) {
    testing::ScratchDir dir;
    const fs::path target = dir.write("out.exe", "old");
    {
        AtomicOutputFile abandoned(target);
        abandoned.stream() << "half";
    }
    EXPECT_EQ(read_file(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    AtomicOutputFile output(target);
    output.stream() << "new";
    output.commit();
    EXPECT_EQ(read_file(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace kestrel
