// Wide window texts and long path names, through the system's call and
// through the shell-based fallback.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "WideText.h"

namespace {

// A directory with a long name (no 8.3 form of its own) and its short name.
class LongNameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        longPath_ = std::string(temp) + "kestrel long directory name " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(longPath_.c_str(), nullptr));
        char shortPath[MAX_PATH];
        ASSERT_NE(GetShortPathNameA(longPath_.c_str(), shortPath, sizeof shortPath), 0u);
        shortPath_ = shortPath;
    }
    void TearDown() override { RemoveDirectoryA(longPath_.c_str()); }
    std::string longPath_, shortPath_;
};

TEST_F(LongNameFixture, BothRoutinesGiveTheLongForm) {
    ASSERT_NE(shortPath_, longPath_);
    char out[MAX_PATH];
    DWORD length = LongPathName(shortPath_.c_str(), out, sizeof out);
    EXPECT_EQ(std::string(out), longPath_);
    EXPECT_EQ(length, longPath_.size());
    memset(out, 0, sizeof out);
    length = LongPathNameFallback(shortPath_.c_str(), out, sizeof out);
    EXPECT_EQ(_stricmp(out, longPath_.c_str()), 0) << out;
    EXPECT_EQ(length, longPath_.size());
}

TEST_F(LongNameFixture, ASmallBufferGetsTheNeededSizeAndStaysUnwritten) {
    char out[8];
    memset(out, '#', sizeof out);
    EXPECT_EQ(LongPathNameFallback(shortPath_.c_str(), out, sizeof out), longPath_.size() + 1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(out, sizeof out), std::string(8, '#'));
    EXPECT_EQ(LongPathName(shortPath_.c_str(), out, sizeof out), longPath_.size() + 1);
}

TEST(LongPathName, MissingPathsFailInBothRoutines) {
    char out[MAX_PATH];
    EXPECT_EQ(LongPathName("C:\\kestrel\\no such directory\\x", out, sizeof out), 0u);
    EXPECT_EQ(LongPathNameFallback("C:\\kestrel\\no such directory\\x", out, sizeof out), 0u);
}

TEST(WideWindowText, TextOutsideTheAnsiCodePageArrivesUnchanged) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    const wchar_t* text = L"\u0416\u4e2d \u00e9";
    SetWindowTextWide(window, text);
    wchar_t read[32];
    GetWindowTextW(window, read, 32);
    EXPECT_STREQ(read, text);

    HWND dialog = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND item = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, dialog, HMENU(UINT_PTR(42)), nullptr, nullptr);
    ASSERT_NE(item, nullptr);
    SetDlgItemTextWide(dialog, 42, text);
    GetDlgItemTextW(dialog, 42, read, 32);
    EXPECT_STREQ(read, text);
    DestroyWindow(dialog);
    DestroyWindow(window);
}

}  // namespace
