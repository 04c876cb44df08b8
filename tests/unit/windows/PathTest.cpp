// Path helpers: the relative-path test, backslash collapsing, and resolution
// against the executable's directory (run under Wine with this test program
// as the executable).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ConfigBlock.h"
#include "FileUtils.h"
#include "PathText.h"

namespace {

std::string Collapsed(const char* text) {
    char buffer[64];
    strcpy(buffer, text);
    CollapseBackslashes(buffer);
    return buffer;
}

TEST(PathText, RelativeAndAbsolutePaths) {
    for (const char* absolute : {"C:\\x", "\"C:\\x\"", "\\\\server\\share", "\"\\\\server\\share\"", "c:\\"})
        EXPECT_FALSE(IsRelativePath(absolute)) << absolute;
    for (const char* relative : {"x", "..\\x", "\\x", "C:x", "C:", "", "\"C:\"", "C:/x", "//server/share"})
        EXPECT_TRUE(IsRelativePath(relative)) << relative;
}

TEST(PathText, CollapsesBackslashRunsButKeepsAUncPrefix) {
    EXPECT_EQ(Collapsed("c:\\\\a\\\\\\b"), "c:\\a\\b");
    EXPECT_EQ(Collapsed("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(Collapsed("\\\\\\server"), "\\\\server");
    EXPECT_EQ(Collapsed("a\\\\"), "a\\");
    EXPECT_EQ(Collapsed(""), "");
    EXPECT_EQ(Collapsed("\\"), "\\");
}

TEST(PathText, BoundedAppendRefusesWhatDoesNotFit) {
    char out[8] = "abc";
    EXPECT_TRUE(AppendBounded(out, sizeof out, "defg"));
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_FALSE(AppendBounded(out, sizeof out, "h"));
    EXPECT_STREQ(out, "abcdefg");
}

TEST(ExecutablePaths, DirectoryIsTheLowerCaseParentWithTrailingBackslash) {
    std::string path = ExecutablePath();
    std::string directory = ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    EXPECT_EQ(path.compare(0, directory.size(), directory), 0);
    // "kestrel-unit-tests.exe" is too long for 8.3: its short form is used.
    std::string name = path.substr(directory.size());
    EXPECT_LE(name.size(), 12u) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".exe");
    for (char c : path) EXPECT_FALSE(c >= 'A' && c <= 'Z') << path;
}

TEST(ExecutablePaths, ResolutionAgainstTheExecutableDirectory) {
    char out[TextBufferSize];
    std::string directory = ExecutableDirectory();
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, ""));
    EXPECT_EQ(out, directory);
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "C:\\x"));
    EXPECT_STREQ(out, "C:\\x");
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "..\\\\lib"));
    EXPECT_EQ(out, directory + "..\\lib");
    ASSERT_TRUE(NormalisePath(out, sizeof out, ".", false));
    EXPECT_EQ(out, directory.substr(0, directory.size() - 1));
    ASSERT_TRUE(NormalisePath(out, sizeof out, "C:\\Some\\..\\Dir", true));
    EXPECT_STREQ(out, "C:\\Dir");
    ASSERT_TRUE(NormalisePath(out, sizeof out, "C:\\Some\\..\\Dir", false));
    EXPECT_STREQ(out, "c:\\dir");
}

TEST(ExecutablePaths, UncAndQuotedPathsAreResolvedByTheirForm) {
    char out[TextBufferSize];
    std::string directory = ExecutableDirectory();
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "\\\\server\\share\\\\x"));
    EXPECT_STREQ(out, "\\\\server\\share\\x");  // UNC: unchanged but for the collapsed run
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "\"C:\\x\""));
    EXPECT_STREQ(out, "\"C:\\x\"");  // quoted drive path: absolute, quotes kept
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "\\rooted"));
    EXPECT_EQ(out, directory + "rooted");  // no drive: relative, the run collapsed
    ASSERT_TRUE(ResolveAgainstExeDir(out, sizeof out, "C:x"));
    EXPECT_EQ(out, directory + "C:x");  // drive-relative counts as relative
}

TEST(ExecutablePaths, PathListsSkipEmptyEntries) {
    char out[TextBufferSize];
    std::string directory = ExecutableDirectory();
    ASSERT_TRUE(ResolvePathList(out, sizeof out, "a;;b;"));
    EXPECT_EQ(out, directory + "a;" + directory + "b");
    ASSERT_TRUE(ResolvePathList(out, sizeof out, "lib;C:\\tools"));
    EXPECT_EQ(out, directory + "lib;C:\\tools");
    ASSERT_TRUE(ResolvePathList(out, sizeof out, ""));
    EXPECT_STREQ(out, "");
}

TEST(ExecutablePaths, OverlongResultsAreRejectedNotCut) {
    char small[16];
    EXPECT_FALSE(ResolveAgainstExeDir(small, sizeof small, "relative-name"));
    EXPECT_STREQ(small, "");
    EXPECT_FALSE(ResolvePathList(small, sizeof small, "C:\\a;C:\\bbbbbbbbbbbb"));
    EXPECT_STREQ(small, "");
    EXPECT_FALSE(MakeProcessFileName(small, sizeof small, 1234));
    EXPECT_STREQ(small, "");
}

TEST(TemporaryNames, TempFileExistsAndProcessFileHasItsShape) {
    char name[TextBufferSize], processFile[TextBufferSize], directory[TextBufferSize];
    GetTempPathA(sizeof directory, directory);
    ASSERT_TRUE(MakeTempFileName(name, sizeof name));
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(std::string(name).find(std::string(directory) + "ksl"), 0u) << name;
    DeleteFileA(name);
    ASSERT_TRUE(MakeProcessFileName(processFile, sizeof processFile, 4711));
    EXPECT_EQ(std::string(processFile), std::string(directory) + "ksl_p4711.tmp");
}

TEST(FileExistence, DriveRootsPatternsAndMissingPaths) {
    EXPECT_TRUE(FileExists("C:\\"));
    EXPECT_TRUE(FileExists("Q:\\."));  // a drive root is taken as existing without a look
    EXPECT_TRUE(FileExists("C:\\windows\\*.exe"));
    EXPECT_FALSE(FileExists("C:\\no-such-directory-here\\x"));
    FILETIME time = {};
    EXPECT_TRUE(FindFileTime("C:\\windows", &time));
    EXPECT_NE(time.dwHighDateTime, 0u);
}

}  // namespace
