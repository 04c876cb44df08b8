// System calls that fail where the launcher cannot go on: each case points
// one import slot at a stand-in that fails the way the system would, and
// checks that the launcher ends with exit code 1 and the system's reason,
// instead of hanging with a dialog nothing drives or going on without what
// the call should have made.
#include <gtest/gtest.h>

#include "ConfigBlock.h"
#include "ErrorReporting.h"
#include "ImportSlot.h"
#include "LauncherDialogs.h"
#include "Progress.h"

extern "C" {
extern decltype(&CreateThread) CreateThreadSlot asm(IMPORT_SLOT_NAME(CreateThread, 24));
extern decltype(&RegisterClassA) RegisterClassSlot asm(IMPORT_SLOT_NAME(RegisterClassA, 4));
extern decltype(&SetFilePointerEx) SetFilePointerExSlot asm(IMPORT_SLOT_NAME(SetFilePointerEx, 20));
}

namespace {

HANDLE WINAPI CreateThreadWithoutMemory(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                                        LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

ATOM WINAPI RegisterClassWithoutMemory(const WNDCLASSA*) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

BOOL WINAPI SetFilePointerExRefused(HANDLE, LARGE_INTEGER, PLARGE_INTEGER, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

DWORD WINAPI NoWork(LPVOID) { return 0; }

// The report of FatalSystemError on standard error: the operation, the
// error's number and the system's own words for it.
std::string SystemReason(const char* operation) {
    return std::string("^Internal Error: ") + operation + ": error \\d+: \\w";
}

class SystemCallFailure : public ::testing::Test {
protected:
    void SetUp() override { GuiMode = false; }
    void TearDown() override { GuiMode = true; }
};

TEST_F(SystemCallFailure, AWorkerThatCannotStartEndsTheLauncherInsteadOfLeavingTheDialogOpen) {
    HWND dialog = CreateWindowA("STATIC", "progress", WS_OVERLAPPED, 0, 0, 300, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EXIT(
        {
            ImportSlotPatch patch(&CreateThreadSlot, &CreateThreadWithoutMemory);
            ProgressDialogProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&NoWork));
        },
        ::testing::ExitedWithCode(1), SystemReason("CreateThread"));
    DestroyWindow(dialog);
}

TEST_F(SystemCallFailure, EveryLauncherThreadThatCannotStartEndsTheLauncher) {
    EXPECT_EXIT(
        {
            ImportSlotPatch patch(&CreateThreadSlot, &CreateThreadWithoutMemory);
            StartRequiredThread(NoWork, nullptr, THREAD_PRIORITY_NORMAL);
        },
        ::testing::ExitedWithCode(1), SystemReason("CreateThread"));
}

TEST_F(SystemCallFailure, ADialogClassThatCannotBeRegisteredEndsTheLauncher) {
    EXPECT_EXIT(
        {
            ImportSlotPatch patch(&RegisterClassSlot, &RegisterClassWithoutMemory);
            RunProgressDialog(NoWork);
        },
        ::testing::ExitedWithCode(1), SystemReason("RegisterClass"));
}

// This program has no dialog templates: the system cannot make either dialog.
TEST_F(SystemCallFailure, DialogsThatCannotBeShownEndTheLauncher) {
    EXPECT_EXIT(RunProgressDialog(NoWork), ::testing::ExitedWithCode(1), SystemReason("DialogBox"));
    EXPECT_EXIT(AskForRuntime(nullptr), ::testing::ExitedWithCode(1), SystemReason("DialogBox"));
}

TEST_F(SystemCallFailure, AFilePointerThatCannotBeMovedEndsTheBlockReading) {
    EXPECT_EXIT(
        {
            ImportSlotPatch patch(&SetFilePointerExSlot, &SetFilePointerExRefused);
            LoadConfigBlock();
        },
        ::testing::ExitedWithCode(1), SystemReason("SetFilePointer"));
}

}  // namespace
