// Directory trees by wide path under Wine: the extended-length form,
// creating nested directories, and removing trees deeper than any plain path
// could reach — also when something in them cannot be deleted.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DirectoryTree.h"
#include "TestFiles.h"

namespace {

std::wstring Extended(const wchar_t* path) {
    wchar_t out[64];
    return ExtendedLengthPath(path, out, 64) ? out : L"<too long>";
}

TEST(ExtendedLengthPath, DrivesSharesAndPathsInThatFormAlready) {
    EXPECT_EQ(Extended(L"C:\\users\\x"), L"\\\\?\\C:\\users\\x");
    EXPECT_EQ(Extended(L"\\\\server\\share\\x"), L"\\\\?\\UNC\\server\\share\\x");
    EXPECT_EQ(Extended(L"\\\\?\\C:\\x"), L"\\\\?\\C:\\x");
    // 64 units hold the prefix, 59 more and the terminator.
    EXPECT_EQ(Extended(std::wstring(59, L'x').c_str()).size(), 63u);
    EXPECT_EQ(Extended(std::wstring(60, L'x').c_str()), L"<too long>");
}

class DirectoryTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(L"\\\\?\\") + temp + L"kestrel-unit-tree-" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(root_.c_str());
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(root_.c_str()); }

    static bool IsDirectory(const std::wstring& path) {
        DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring root_;
};

TEST_F(DirectoryTreeTest, MissingDirectoriesAreMadeAndExistingOnesKept) {
    std::wstring nested = root_ + L"\\a\\b\\c";
    EXPECT_TRUE(CreateDirectoryTree(nested.c_str(), root_.size() + 1));
    EXPECT_TRUE(IsDirectory(nested));
    EXPECT_TRUE(CreateDirectoryTree(nested.c_str(), root_.size() + 1));  // all there already
    WriteFileBytes(root_ + L"\\a\\file", "x");
    EXPECT_FALSE(CreateDirectoryTree((root_ + L"\\a\\file\\below").c_str(), root_.size() + 1));
    EXPECT_FALSE(CreateDirectoryTree((root_ + L"\\a\\file").c_str(), root_.size() + 1));
}

TEST_F(DirectoryTreeTest, ATreeDeeperThanAnyPlainPathIsRemoved) {
    std::wstring deep = root_;
    for (int level = 0; level < 120; ++level) deep += L"\\level" + std::to_wstring(level);
    ASSERT_GT(deep.size(), 1000u);
    ASSERT_TRUE(CreateDirectoryTree(deep.c_str(), root_.size() + 1));
    WriteFileBytes(deep + L"\\bottom.txt", "bottom");
    WriteFileBytes(root_ + L"\\level0\\side.txt", "side");
    CreateDirectoryW((root_ + L"\\empty").c_str(), nullptr);
    EXPECT_TRUE(RemoveTree(root_.c_str()));
    EXPECT_FALSE(Exists(root_));
    EXPECT_TRUE(RemoveTree(root_.c_str()));  // nothing there: nothing to do
}

TEST_F(DirectoryTreeTest, AFileThatCannotBeDeletedEndsTheRemovalWithoutLooping) {
    std::wstring busy = root_ + L"\\sub\\busy.txt";
    ASSERT_TRUE(CreateDirectoryTree((root_ + L"\\sub").c_str(), root_.size() + 1));
    WriteFileBytes(busy, "busy");
    HANDLE open = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(RemoveTree(root_.c_str()));
    CloseHandle(open);
    EXPECT_TRUE(RemoveTree(root_.c_str()));
    EXPECT_FALSE(Exists(root_));
}

}  // namespace
