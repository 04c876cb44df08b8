// Window activation and counting over windows this test process creates
// itself (Wine's null graphics driver keeps them invisible on screen but
// tracks visibility, minimised state and the foreground window).
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "WindowDiscovery.h"

namespace {

class ProcessWindows : public ::testing::Test {
protected:
    void SetUp() override { baseline_ = CountVisibleWindows(Self(), nullptr); }

    void TearDown() override {
        for (HWND window : windows_) DestroyWindow(window);
    }

    static DWORD Self() { return GetCurrentProcessId(); }

    HWND Make(const char* title, DWORD style, HWND owner = nullptr) {
        HWND window = CreateWindowA("STATIC", title, style | WS_CAPTION, 10, 10, 200, 100, owner, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
        return window;
    }

    HWND MakeVisible(const char* title, HWND owner = nullptr) {
        return Make(title, (owner ? WS_POPUP : WS_OVERLAPPED) | WS_VISIBLE, owner);
    }

    // Visible windows of this process that were there before the test.
    int baseline_ = 0;

private:
    std::vector<HWND> windows_;
};

TEST_F(ProcessWindows, ActivationRestoresTheMainWindowAndEndsWithItsModalDialog) {
    HWND main = MakeVisible("main window");
    HWND dialog = MakeVisible("modal dialog", main);
    EnableWindow(main, FALSE);
    SetForegroundWindow(dialog);
    ShowWindow(main, SW_MINIMIZE);
    HWND elsewhere = MakeVisible("another window");
    SetForegroundWindow(elsewhere);
    ASSERT_TRUE(IsIconic(main));
    ASSERT_EQ(GetForegroundWindow(), elsewhere);

    ActivateProcessWindows(Self());

    EXPECT_FALSE(IsIconic(main));
    EXPECT_EQ(GetForegroundWindow(), dialog);
}

TEST_F(ProcessWindows, ActivationTreatsEveryWindowOfTheProcess) {
    HWND first = MakeVisible("first");
    HWND second = MakeVisible("second");
    ShowWindow(first, SW_MINIMIZE);
    ShowWindow(second, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(first) && IsIconic(second));

    ActivateProcessWindows(0);  // no window belongs to process 0
    EXPECT_TRUE(IsIconic(first) && IsIconic(second));
    ActivateProcessWindows(Self());

    EXPECT_FALSE(IsIconic(first));
    EXPECT_FALSE(IsIconic(second));
}

TEST_F(ProcessWindows, HiddenWindowsAreNeitherActivatedNorCounted) {
    HWND hidden = Make("hidden and minimised", WS_OVERLAPPED | WS_MINIMIZE);
    HWND shown = MakeVisible("shown");
    ASSERT_TRUE(IsIconic(hidden));
    ASSERT_FALSE(IsWindowVisible(hidden));

    ActivateProcessWindows(Self());

    EXPECT_TRUE(IsIconic(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_NE(GetForegroundWindow(), hidden);
    EXPECT_EQ(GetForegroundWindow(), shown);
    EXPECT_EQ(CountProcessWindows(Self()), baseline_ + 1);
}

TEST_F(ProcessWindows, CountsVisibleWindowsOfTheProcessOnly) {
    HWND main = MakeVisible("main");
    MakeVisible("owned pop-up", main);
    Make("hidden", WS_OVERLAPPED);

    EXPECT_EQ(CountProcessWindows(Self()), baseline_ + 2);
    // A window left out (as the console window is) does not count.
    EXPECT_EQ(CountVisibleWindows(Self(), main), baseline_ + 1);
    EXPECT_EQ(CountProcessWindows(0), 0);
}

// Enumerations on two threads at once, each with its own target and count:
// shared per-call data would mix their results up.
TEST_F(ProcessWindows, ConcurrentCountsKeepTheirOwnData) {
    HWND main = MakeVisible("main");
    MakeVisible("second");
    int expectedAll = baseline_ + 2, expectedLeftOut = baseline_ + 1;
    bool allRight = true, leftOutRight = true;
    std::thread other([&] {
        for (int i = 0; i < 200; ++i)
            if (CountVisibleWindows(Self(), nullptr) != expectedAll) allRight = false;
    });
    for (int i = 0; i < 200; ++i) {
        if (CountVisibleWindows(Self(), main) != expectedLeftOut) leftOutRight = false;
        if (CountVisibleWindows(0, nullptr) != 0) leftOutRight = false;
    }
    other.join();
    EXPECT_TRUE(allRight);
    EXPECT_TRUE(leftOutRight);
}

}  // namespace
