// The class path: entries of the configured list, environment values on the
// class path, and the option assembled from a payload directory (the
// configuration is empty in this test program, so no entry is configured).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ClassPathSpec.h"
#include "FileUtils.h"
#include "JavaVMLauncher.h"
#include "ConfigBlock.h"
#include "PayloadExtraction.h"

namespace {

std::vector<std::string> Entries(const char* specification) {
    std::vector<std::string> entries;
    const char* cursor = specification;
    ClassPathEntry entry;
    while (NextClassPathEntry(&cursor, entry))
        entries.push_back(std::string(1, entry.kind) + (entry.mandatory ? "!" : "?") +
                          std::string(entry.name, entry.nameLength));
    return entries;
}

using Texts = std::vector<std::string>;

TEST(ClassPathSpec, EntriesInOrderWithKindAndMandatoryMark) {
    EXPECT_EQ(Entries("D1classes;A0lib\\a.jar;S2lib;E1EXTRA_CP;X0other"),
              (Texts{"D!classes", "A?lib\\a.jar", "S?lib", "E!EXTRA_CP", "X?other"}));
    EXPECT_EQ(Entries("d1x"), Texts{"d!x"});
}

TEST(ClassPathSpec, EmptyAndNamelessEntriesAreSkipped) {
    EXPECT_EQ(Entries(";;A0a.jar;;;A0b.jar;"), (Texts{"A?a.jar", "A?b.jar"}));
    EXPECT_EQ(Entries("A0a.jar;;A0b.jar"), Entries("A0a.jar;A0b.jar"));
    EXPECT_EQ(Entries("D1;E;A0x"), Texts{"A?x"});
    EXPECT_EQ(Entries(""), Texts{});
}

std::string Value(const char* value) {
    ClassPathValue entry = EnvironmentClassPathValue(value);
    return std::string(entry.text, entry.length) + (entry.needsSeparator ? "+;" : "");
}

TEST(ClassPathSpec, EnvironmentValueLosesEnclosingQuotesAndKeepsItsOwnSeparator) {
    EXPECT_EQ(Value("\"c:\\a.jar;c:\\b.jar;\""), "c:\\a.jar;c:\\b.jar;");
    EXPECT_EQ(Value("c:\\a.jar"), "c:\\a.jar+;");
    EXPECT_EQ(Value("c:\\a.jar;"), "c:\\a.jar;");
    EXPECT_EQ(Value("\"c:\\my dir\""), "c:\\my dir+;");
    EXPECT_EQ(Value("\"only-leading"), "\"only-leading+;");
    EXPECT_EQ(Value("\""), "\"+;");
}

// A fresh directory with the given empty files, removed afterwards.
class PayloadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        directory_ = std::string(temp) + "kestrel-cp-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(directory_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files_) DeleteFileA(file.c_str());
        RemoveDirectoryA(directory_.c_str());
        PayloadDirectory[0] = '\0';
        ProductFlavour = '\0';
    }
    std::string Add(const char* name) {
        std::string path = directory_ + "\\" + name;
        FILE* file = fopen(path.c_str(), "wb");
        if (file) fclose(file);
        files_.push_back(path);
        return path;
    }
    static std::string Option() {
        TextBuilder option;
        EXPECT_TRUE(BuildClassPathOption(option));
        return option.Text();
    }
    std::string directory_;
    std::vector<std::string> files_;
};

TEST_F(PayloadFixture, NoPayloadAndNoEntriesGiveOnlyTheQuotesAndSeparator) {
    EXPECT_EQ(Option(), "-Djava.class.path=\";\"");
}

TEST_F(PayloadFixture, PayloadJarsThenZipsAndNothingElse) {
    std::string zip = Add("b.zip");
    Add("notes.txt");
    std::string jar = Add("a.jar");
    strcpy(PayloadDirectory, directory_.c_str());
    EXPECT_EQ(Option(), "-Djava.class.path=\";" + jar + ";" + zip + ";\"");
}

TEST_F(PayloadFixture, InstallerAddsItsRuntimeArchiveBehindThePayload) {
    std::string jar = Add("app.jar");
    strcpy(PayloadDirectory, directory_.c_str());
    ProductFlavour = 'i';
    // No application directory configured: the executable's directory,
    // made full (keeping its trailing backslash).
    std::string runtimeJar = std::string(ExecutableDirectory()) + "\\.tanager\\tngruntime.jar";
    EXPECT_EQ(Option(), "-Djava.class.path=\";" + jar + ";" + runtimeJar + ";\"");
}

}  // namespace
