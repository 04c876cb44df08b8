// ErrorReporting.cpp — message boxes or standard error by GuiMode, and the
// process exits.
#include "ErrorReporting.h"

#include <cstdio>

#include "DecisionTrace.h"

bool GuiMode = true;
HWND ErrorOwnerWindow = nullptr;

static void (*ErrorCleanup)() = nullptr;

void SetErrorOwnerWindow(HWND window) { ErrorOwnerWindow = window; }

void SetErrorCleanup(void (*cleanup)()) { ErrorCleanup = cleanup; }

static void RunErrorCleanup() {
    if (ErrorCleanup) ErrorCleanup();
}

void ShowErrorText(const char* text, const char* caption) {
    TRACE("error: %s", text);
    RunErrorCleanup();
    if (GuiMode) {
        MessageBoxA(ErrorOwnerWindow, text, caption, MB_OK | MB_ICONERROR);
    } else {
        fputs(text, stderr);
        fputc('\n', stderr);
        fflush(stderr);
    }
}

void ShowErrorWText(const wchar_t* text, const wchar_t* caption) {
    TRACE_WIDE("error: ", text, "");
    RunErrorCleanup();
    if (GuiMode) {
        MessageBoxW(ErrorOwnerWindow, text, caption, MB_OK | MB_ICONERROR);
    } else {
        // Character by character through the run-time library's conversion,
        // as a wide "%ls\n" format would, without linking a wide formatter.
        for (const wchar_t* c = text; *c; ++c) fputwc(*c, stderr);
        fputwc(L'\n', stderr);
        fflush(stderr);
    }
}

void EndProcess(int code) {
    fflush(nullptr);
    ExitProcess(UINT(code));
}

void FatalErrorText(const char* text, const char* caption) {
    ShowErrorText(text, caption);
    TRACE("exit: code 1 after the error above");
    EndProcess(1);
}

void ExitLauncher(int code) {
    TRACE("exit: code %d", code);
    RunErrorCleanup();
    EndProcess(code);
}
