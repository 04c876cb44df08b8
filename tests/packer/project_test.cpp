// Reading project files: which setting becomes which key with which text,
// the default messages, the escape-hatch tables, and the one-line errors for
// every kind of bad input.
#include "project.h"

#include <gtest/gtest.h>

#include "pack_error.h"
#include "stub_layout.h"
#include "test_support.h"
#include "utf.h"

namespace kestrel {
namespace {

using testing::ScratchDir;

class ProjectTest : public ::testing::Test {
protected:
    LauncherProject load(const std::string& toml) { return load_project(dir_.write("app.toml", toml), runtime_jar_); }

    // The message of the PackError that loading `toml` gives.
    std::string load_error(const std::string& toml) {
        try {
            load(toml);
        } catch (const PackError& error) {
            return error.what();
        }
        return "(no error)";
    }

    ScratchDir dir_;
    std::filesystem::path runtime_jar_;  // none unless a test provides one
};

TEST_F(ProjectTest, EveryNamedSettingWritesItsKey) {
    const LauncherProject project = load(R"(
        [launcher]
        flavour = "installer"
        type = "windowed"
        working_directory = "."
        application_directory = "app"
        path_entries = ["lib", 'C:\tools']
        trace = '%TEMP%\app-trace.log'
        [java]
        main_class = "com.example.Main"
        class_path = [{ archive = "lib/app.jar", mandatory = true }, { directory = "classes" },
                      { scan = "lib", mandatory = false }, { env = "EXTRA_CP" }]
        vm_options = "-Xmx256m -Dfoo=bar"
        arguments = "--mode fast"
        command_line_vm_options = true
        min_version = "1.8"
        max_version = "21"
        search_sequence = ["registry", "registrations", { env = "JAVA_HOME" }, { directory = "jre" }, "path"]
        accept_beta = false
        preferred_vm = "server"
        runtime_verbose = true
        [logs]
        error_log = "error.log"
        output_log = "output.log"
        [runtime]
        download_url = "http://example.com/jre.tar.gz"
        archive_size = 29245440
        packed_jars = true
    )");
    const std::map<std::int32_t, std::string> expected = {{2001, "i"},
                                                          {107, "1"},
                                                          {146, "."},
                                                          {10003, "app"},
                                                          {10004, "lib;C:\\tools"},
                                                          {160, "%TEMP%\\app-trace.log"},
                                                          {122, "com.example.Main"},
                                                          {121, "A1lib/app.jar;D0classes;S0lib;E0EXTRA_CP"},
                                                          {123, "-Xmx256m -Dfoo=bar"},
                                                          {124, "--mode fast"},
                                                          {125, "1"},
                                                          {126, "1.8"},
                                                          {127, "21"},
                                                          {128, "Y;V;EJAVA_HOME;Ajre;S"},
                                                          {130, "0"},
                                                          {152, "server"},
                                                          {106, "1"},
                                                          {102, "1"},
                                                          {103, "error.log"},
                                                          {104, "1"},
                                                          {105, "output.log"},
                                                          {150, "http://example.com/jre.tar.gz"},
                                                          {151, "29245440"},
                                                          {153, "1"}};
    for (const auto& [key, text] : expected) EXPECT_EQ(project.block.narrow.at(key), text) << "key " << key;
}

TEST_F(ProjectTest, AnEmptyProjectHasTheFlavourAndEveryMessageAndText) {
    const LauncherProject project = load("");
    std::vector<std::int32_t> narrow_keys, wide_keys;
    for (const auto& record : project.block.narrow) narrow_keys.push_back(record.first);
    for (const auto& record : project.block.wide) wide_keys.push_back(record.first);
    std::vector<std::int32_t> expected_narrow = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007,
                                                 1008, 1009, 1010, 1011, 1012, 1013, 2001};
    std::vector<std::int32_t> expected_wide;
    for (std::int32_t key = 20001; key <= 20016; ++key) expected_wide.push_back(key);
    EXPECT_EQ(narrow_keys, expected_narrow);
    EXPECT_EQ(wide_keys, expected_wide);
    EXPECT_EQ(project.block.narrow.at(2001), "e");
    EXPECT_EQ(project.block.narrow.at(1005), "The JVM could not be started.");
    EXPECT_TRUE(project.payload.empty());
}

TEST_F(ProjectTest, DefaultMessagesCarryTheirPlaceholders) {
    const LauncherProject project = load("");
    const std::pair<std::int32_t, const char*> placeholders[] = {{1003, "%ENV_VAR_NAME%"},
                                                                 {1004, "%DEFINED_PATH%"},
                                                                 {1006, "%FILE_NAME%"},
                                                                 {1008, "%ENV_VAR_NAME%"},
                                                                 {1009, "%ERROR_CODE%"}};
    for (const auto& [key, placeholder] : placeholders) {
        EXPECT_NE(project.block.narrow.at(key).find(placeholder), std::string::npos) << key;
    }
}

TEST_F(ProjectTest, ProjectTextsReplaceDefaultsInBothEncodings) {
    const LauncherProject project = load(R"(
        [messages]
        caption = "Caf\u00e9 \u20ac"
        [texts]
        caption = "Gr\u00fc\u00dfe \U0001F600"
        [keys]
        "1005" = "VM failed"
        "101" = "unused"
        "-7" = "negative"
        [wide_keys]
        "20016" = "Broken"
        "20020" = "extra"
    )");
    EXPECT_EQ(project.block.narrow.at(1000), "Caf\xE9 \x80");
    EXPECT_EQ(project.block.wide.at(20013), utf8_to_utf16le("Gr\u00FC\u00DFe \U0001F600"));
    EXPECT_EQ(project.block.narrow.at(1005), "VM failed");
    EXPECT_EQ(project.block.narrow.at(101), "unused");
    EXPECT_EQ(project.block.narrow.at(-7), "negative");
    EXPECT_EQ(project.block.wide.at(20016), utf8_to_utf16le("Broken"));
    EXPECT_EQ(project.block.wide.at(20020), utf8_to_utf16le("extra"));
}

TEST_F(ProjectTest, PayloadFilesAreFoundBesideTheProjectAndNamedInKeys) {
    dir_.write("dist/app.jar", "jar");
    dir_.write("build/x.dat", "data");
    const LauncherProject project = load(R"(
        [payload]
        files = ["dist/app.jar", { source = "build/x.dat", name = "data.dat" }]
    )");
    ASSERT_EQ(project.payload.size(), 2u);
    EXPECT_EQ(project.payload[0].source, dir_.path() / "dist/app.jar");
    EXPECT_EQ(project.payload[1].size, 4u);
    EXPECT_EQ(project.block.narrow.at(2002), "2");
    EXPECT_EQ(project.block.narrow.at(2003), "app.jar;data.dat;");
}

class RuntimeJarTest : public ProjectTest {
protected:
    RuntimeJarTest() { runtime_jar_ = dir_.write("build/kestrel-runtime.jar", "runtime"); }
};

TEST_F(RuntimeJarTest, JoinsThePayloadLastAndIsCountedAndNamed) {
    dir_.write("app.jar", "jar");
    LauncherProject project = load("[payload]\nfiles = [\"app.jar\"]\n");
    ASSERT_EQ(project.payload.size(), 2u);
    EXPECT_EQ(project.payload[1].source, runtime_jar_);
    EXPECT_EQ(project.payload[1].name, "kestrel-runtime.jar");
    EXPECT_EQ(project.payload[1].size, 7u);
    EXPECT_EQ(project.block.narrow.at(2002), "2");
    EXPECT_EQ(project.block.narrow.at(2003), "app.jar;kestrel-runtime.jar;");

    // Also without any payload of the project's own.
    project = load("[java]\nmain_class = \"Main\"\n");
    ASSERT_EQ(project.payload.size(), 1u);
    EXPECT_EQ(project.block.narrow.at(2002), "1");
    EXPECT_EQ(project.block.narrow.at(2003), "kestrel-runtime.jar;");
}

TEST_F(RuntimeJarTest, TheProjectCanLeaveItOut) {
    dir_.write("app.jar", "jar");
    LauncherProject project = load("[payload]\nfiles = [\"app.jar\"]\nruntime_jar = false\n");
    ASSERT_EQ(project.payload.size(), 1u);
    EXPECT_EQ(project.block.narrow.at(2003), "app.jar;");
    project = load("[payload]\nruntime_jar = false\n");
    EXPECT_TRUE(project.payload.empty());
    EXPECT_EQ(project.block.narrow.count(2002), 0u);
    project = load("[payload]\nruntime_jar = true\n");
    EXPECT_EQ(project.payload.size(), 1u);
}

TEST_F(RuntimeJarTest, ProblemsAreReportedWithTheSetting) {
    dir_.write("mine.jar", "jar");
    std::string message = load_error(
        "[payload]\nfiles = [{ source = \"mine.jar\", name = \"Kestrel-Runtime.JAR\" }]\n");
    EXPECT_NE(message.find("payload.runtime_jar: the payload file 'Kestrel-Runtime.JAR' takes the name"),
              std::string::npos) << message;
    message = load_error("[payload]\nruntime_jar = \"no\"\n");
    EXPECT_NE(message.find("app.toml:2:15: payload.runtime_jar: the value must be true or false"), std::string::npos)
        << message;
    std::filesystem::remove(runtime_jar_);
    message = load_error("");
    EXPECT_NE(message.find("payload.runtime_jar: the launcher runtime (built by 'make java'"), std::string::npos)
        << message;
    EXPECT_NE(message.find("cannot read the file " + runtime_jar_.string()), std::string::npos) << message;
}

// The launcher cuts the VM options and default arguments into words; a word
// that opens a quote and never closes it would stop every start.
TEST_F(ProjectTest, ArgumentTextsWithAQuoteLeftOpenAreRefusedByName) {
    const LauncherProject project = load(
        "[java]\nvm_options = \"-Dx=\\\"a b\\\" '-Dtitle=My App' -Dq=it's\"\narguments = '\"\" \"two words\"'\n");
    EXPECT_EQ(project.block.narrow.at(123), "-Dx=\"a b\" '-Dtitle=My App' -Dq=it's");
    EXPECT_EQ(project.block.narrow.at(124), "\"\" \"two words\"");
    for (const auto& [toml, setting] : std::vector<std::pair<std::string, std::string>>{
             {"[java]\nvm_options = \"-Xmx64m '-Dtitle=My App\"\n", "java.vm_options"},
             {"[java]\narguments = 'first \"second'\n", "java.arguments"}}) {
        const std::string message = load_error(toml);
        EXPECT_NE(message.find(setting + ": a quoted word is not closed"), std::string::npos) << message;
    }
}

// The launcher reads every value into a buffer of 8192 bytes or UTF-16 units
// with its terminator; a value the buffer cannot hold is refused by name.
TEST_F(ProjectTest, ValuesLongerThanTheLaunchersBuffersAreRefused) {
    const auto repeated = [](const std::string& text, std::size_t count) {
        std::string result;
        for (std::size_t i = 0; i < count; ++i) result += text;
        return result;
    };
    // Narrow values count Windows-1252 bytes: one per "\u00e9", two in UTF-8.
    const LauncherProject longest =
        load("[java]\nvm_options = \"" + repeated("\u00e9", 8191) + "\"\n[texts]\ncaption = \"" +
             repeated("x", 8191) + "\"\n");
    EXPECT_EQ(longest.block.narrow.at(123).size(), 8191u);
    EXPECT_EQ(longest.block.wide.at(20013).size(), 2u * 8191);

    std::string message = load_error("[java]\nvm_options = \"" + repeated("\u00e9", 8192) + "\"\n");
    EXPECT_NE(message.find("java.vm_options: the value is 8192 bytes long; the launcher reads at most 8191 bytes"),
              std::string::npos) << message;
    message = load_error("[java]\nclass_path = [" + repeated("{ archive = \"" + repeated("a", 95) + "\" },", 90) +
                         "]\n");
    EXPECT_NE(message.find("java.class_path: the value is 8819 bytes long"), std::string::npos) << message;
    // A character outside the basic plane takes two UTF-16 units.
    message = load_error("[texts]\ncaption = \"" + repeated("\U0001F600", 4096) + "\"\n");
    EXPECT_NE(message.find("texts.caption: the value is 8192 UTF-16 units long; the launcher reads at most 8191"),
              std::string::npos) << message;
    message = load_error("[keys]\n\"101\" = \"" + repeated("k", 9000) + "\"\n");
    EXPECT_NE(message.find("keys.101: the value is 9000 bytes long"), std::string::npos) << message;

    std::string files;
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::to_string(i) + repeated("n", 200) + ".jar";
        dir_.write(name, "x");
        files += "\"" + name + "\",";
    }
    message = load_error("[payload]\nfiles = [" + files + "]\n");
    EXPECT_NE(message.find("payload.files: the value is 8270 bytes long"), std::string::npos) << message;
}

TEST_F(ProjectTest, BuildSettingsSteerTheBuildAndWriteNoKey) {
    dir_.write("art/app.ico", testing::make_icon({{16, 32, 'a'}, {0, 32, 'p'}}));
    const LauncherProject project = load(R"(
        [launcher]
        arch = "x64"
        icon = "art/app.ico"
        [manifest]
        execution_level = "highestAvailable"
        dpi_awareness = "System"
        long_path_aware = true
        [version]
        file_version = "3.1"
        company = "Larkspur"
        description = "The app"
        language = 0x0407
    )");
    const BuildSettings& build = project.build;
    EXPECT_EQ(build.architecture, Architecture::X64);
    ASSERT_EQ(build.resources.icon.size(), 2u);
    EXPECT_EQ(build.resources.icon[1].width, 0);
    EXPECT_EQ(build.resources.manifest.execution_level, ExecutionLevel::HighestAvailable);
    EXPECT_EQ(build.resources.manifest.dpi_awareness, DpiAwareness::System);
    EXPECT_TRUE(build.resources.manifest.long_path_aware);
    ASSERT_TRUE(build.resources.version.has_value());
    const VersionInfo& version = *build.resources.version;
    EXPECT_EQ(version.file_version, (VersionNumbers{3, 1, 0, 0}));
    EXPECT_EQ(version.product_version, version.file_version);
    EXPECT_EQ(version.language, 0x0407);
    const std::vector<std::pair<std::string, std::string>> texts = {{"CompanyName", "Larkspur"},
                                                                    {"FileDescription", "The app"},
                                                                    {"FileVersion", "3.1.0.0"},
                                                                    {"ProductVersion", "3.1.0.0"}};
    EXPECT_EQ(version.strings, texts);
    // None of it is a launcher key: the block is that of an empty project.
    EXPECT_EQ(project.block.narrow, load("").block.narrow);

    const LauncherProject plain = load("");
    EXPECT_FALSE(plain.build.architecture.has_value());
    EXPECT_FALSE(plain.build.resources.version.has_value());
    EXPECT_TRUE(plain.build.resources.icon.empty());
    EXPECT_EQ(plain.build.resources.manifest.execution_level, ExecutionLevel::AsInvoker);
    EXPECT_TRUE(plain.build.runtime_bundle.empty());
}

TEST_F(ProjectTest, AnEmptyPayloadWritesNeitherPayloadKey) {
    const LauncherProject project = load("[payload]\nfiles = []\n");
    EXPECT_EQ(project.block.narrow.count(2002), 0u);
    EXPECT_EQ(project.block.narrow.count(2003), 0u);
}

struct BadProject {
    const char* name;
    const char* toml;
    const char* reason;
};

void PrintTo(const BadProject& value, std::ostream* out) {
    *out << value.name;
}

class BadProjectTest : public ProjectTest, public ::testing::WithParamInterface<BadProject> {};

TEST_P(BadProjectTest, IsRefusedWithOneLineNamingFileAndSetting) {
    dir_.write("a.jar", "a");
    const std::string message = load_error(GetParam().toml);
    EXPECT_NE(message.find((dir_.path() / "app.toml").string()), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().reason), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BadProjectTest,
    ::testing::Values(
        BadProject{"Syntax", "[java\n", ":1:"},
        BadProject{"UnknownTable", "[splash]\n", "unknown table or setting 'splash'"},
        BadProject{"TableAsValue", "launcher = 1\n", "'launcher' must be a table"},
        BadProject{"UnknownSetting", "[java]\nmain = \"x\"\n", "unknown setting java.main"},
        BadProject{"WrongType", "[java]\nmin_version = 8\n",
                   "java.min_version: the value must be a string, not an integer"},
        BadProject{"UnknownChoice", "[launcher]\ntype = \"gui\"\n", "launcher.type: unknown value 'gui'"},
        BadProject{"UnknownArchitecture", "[launcher]\narch = \"arm64\"\n",
                   "app.toml:2:8: launcher.arch: unknown value 'arm64' (expected x86, x64)"},
        BadProject{"NegativeSize", "[runtime]\narchive_size = -1\n", "runtime.archive_size: the value -1 is outside"},
        BadProject{"SeparatorInList", "[launcher]\npath_entries = [\"a;b\"]\n", "entry 1 contains ';'"},
        BadProject{"TwoKinds", "[java]\nclass_path = [{ archive = \"a\", scan = \"b\" }]\n",
                   "names more than one kind"},
        BadProject{"UnknownSource", "[java]\nsearch_sequence = [\"registry\", \"jdk\"]\n",
                   "entry 2 is the unknown source 'jdk'"},
        BadProject{"EmptyLog", "[logs]\nerror_log = \"\"\n", "logs.error_log: the file name is empty"},
        BadProject{"NotCp1252", "[messages]\ncaption = \"\u4e2d\"\n", "messages.caption: the character"},
        BadProject{"BadFormat", "[texts]\nnot_found_with_download = \"need %s\"\n",
                   "texts.not_found_with_download: key 20005 is a format that must take exactly two %S"},
        BadProject{"BadRawFormat", "[wide_keys]\n\"20008\" = \"%d%%\"\n", "wide_keys.20008: key 20008 is a format"},
        BadProject{"KeyNotInteger", "[keys]\n\"abc\" = \"x\"\n", "keys.abc: 'abc' is not a 32-bit integer key"},
        BadProject{"KeyValueType", "[keys]\n\"101\" = 1\n", "keys.101: the value must be a string"},
        BadProject{"KeyTwice", "[java]\nmain_class = \"A\"\n[keys]\n\"122\" = \"B\"\n",
                   "keys.122: key 122 is already set by java.main_class"},
        BadProject{"LogSwitchTwice", "[logs]\nerror_log = \"e.log\"\n[keys]\n\"102\" = \"0\"\n",
                   "key 102 is already set by logs.error_log"},
        BadProject{"IconNotAnIcon", "[launcher]\nicon = \"a.jar\"\n", "launcher.icon: "},
        BadProject{"IconMissing", "[launcher]\nicon = \"gone.ico\"\n", "launcher.icon: cannot read the icon"},
        BadProject{"VersionWithoutFileVersion", "[version]\nproduct_name = \"P\"\n",
                   "version.file_version is required when [version] is given"},
        BadProject{"BadFileVersion", "[version]\nfile_version = \"1.x\"\n",
                   "version.file_version: '1.x' is not a version"},
        BadProject{"BadLanguage", "[version]\nfile_version = \"1\"\nlanguage = 70000\n",
                   "version.language: the language 70000 is not"},
        BadProject{"UnknownVersionSetting", "[version]\nauthor = \"me\"\n", "unknown setting version.author"},
        BadProject{"UnknownExecutionLevel", "[manifest]\nexecution_level = \"admin\"\n",
                   "manifest.execution_level: unknown value 'admin' (expected asInvoker, requireAdministrator, "
                   "highestAvailable)"},
        BadProject{"UnknownDpiAwareness", "[manifest]\ndpi_awareness = \"yes\"\n",
                   "manifest.dpi_awareness: unknown value 'yes'"},
        BadProject{"LongPathsNotBoolean", "[manifest]\nlong_path_aware = 1\n",
                   "manifest.long_path_aware: the value must be true or false"},
        BadProject{"EmptyBundlePath", "[runtime]\nbundle = \"\"\n", "runtime.bundle: the path is empty"},
        BadProject{"PayloadKeyByHand", "[keys]\n\"2003\" = \"a.jar;\"\n", "key 2003 is written from payload.files"}),
    testing::ParamName());

INSTANTIATE_TEST_SUITE_P(
    Payload, BadProjectTest,
    ::testing::Values(
        BadProject{"Missing", "[payload]\nfiles = [\"a.jar\", \"missing.jar\"]\n", "entry 2: cannot read the file"},
        BadProject{"SameNameOtherCase", "[payload]\nfiles = [\"a.jar\", { source = \"a.jar\", name = \"A.JAR\" }]\n",
                   "the name 'A.JAR' is already used by 'a.jar'"},
        BadProject{"SameAccentedName",
                   "[payload]\nfiles = [{ source = \"a.jar\", name = \"\u00e9.jar\" },"
                   " { source = \"a.jar\", name = \"\u00c9.jar\" }]\n",
                   "is already used by"},
        BadProject{"Semicolon", "[payload]\nfiles = [{ source = \"a.jar\", name = \"a;b.jar\" }]\n", "contains ';'"},
        BadProject{"Slash", "[payload]\nfiles = [{ source = \"a.jar\", name = \"lib/a.jar\" }]\n", "contains '/'"},
        BadProject{"Backslash", "[payload]\nfiles = [{ source = \"a.jar\", name = 'lib\\a.jar' }]\n", "contains '\\'"},
        BadProject{"EmptyName", "[payload]\nfiles = [{ source = \"a.jar\", name = \"\" }]\n", "the name is empty"},
        BadProject{"NameNotCp1252", "[payload]\nfiles = [{ source = \"a.jar\", name = \"\u4e2d.jar\" }]\n",
                   "has no code in Windows-1252"},
        BadProject{"NoSource", "[payload]\nfiles = [{ name = \"a.jar\" }]\n", "entry 1 has no source file"}),
    testing::ParamName());

}  // namespace
}  // namespace kestrel
