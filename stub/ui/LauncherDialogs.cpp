// LauncherDialogs.cpp — the progress dialog (template 103) whose
// initialisation starts the launch sequence on a worker thread, and the
// runtime-not-found dialog (template 104).
#include "LauncherDialogs.h"

#include <commctrl.h>
#include <cstdio>
#include <cstring>

#include "Cancellation.h"
#include "CenterWindow.h"
#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "DecisionTrace.h"
#include "Progress.h"
#include "Resources.h"
#include "RuntimeLocator.h"
#include "WideText.h"
#include "WindowDiscovery.h"
#include "ConfigKeys.h"

HINSTANCE ModuleInstance = nullptr;

// Window extra bytes every dialog window needs for the dialog manager.
constexpr int DialogWindowExtraBytes = 30;

// Registers the progress dialog's window class; a class that cannot be
// registered leaves no dialog to show, so the launcher ends with the reason.
static void RegisterProgressDialogClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
    windowClass.lpfnWndProc = DefDlgProcA;
    windowClass.cbWndExtra = DialogWindowExtraBytes;
    windowClass.hInstance = ModuleInstance;
    windowClass.hIcon = LoadIconA(ModuleInstance, MAIN_ICON_NAME);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "MyDlgClass";
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        FatalSystemError("RegisterClass");
}

INT_PTR RunProgressDialog(LPTHREAD_START_ROUTINE sequence) {
    RegisterProgressDialogClass();
    INT_PTR ended = DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_PROGRESS), nullptr, ProgressDialogProc,
                                    reinterpret_cast<LPARAM>(sequence));
    if (ended == -1) FatalSystemError("DialogBox");
    return ended;
}

static void SetCaptionFromKey(HWND dialog, int key) {
    wchar_t text[TextBufferSize];
    ConfigWString(key, text, TextBufferSize);
    SetWindowTextWide(dialog, text);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CenterWindow(dialog);
        SetErrorOwnerWindow(dialog);
        SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 100);
        SetItemFromKey(dialog, IDC_MAIN_TEXT, Text::Preparing);
        SetCaptionFromKey(dialog, Text::Caption);
        SetItemFromKey(dialog, IDCANCEL, Text::CancelButton);
        auto sequence = reinterpret_cast<LPTHREAD_START_ROUTINE>(lParam);
        CloseHandle(StartRequiredThread(sequence, dialog, THREAD_PRIORITY_NORMAL));
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        // The user's Cancel lets a running provisioning step remove what it
        // made before the process ends.
        if (LOWORD(wParam) == IDCANCEL) RequestCancel();
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Puts the not-found explanation on the dialog: the configured wide format
// applied to the minimum and maximum versions ("-" when unset).
static void SetNotFoundMessage(HWND dialog) {
    char minimum[TextBufferSize], maximum[TextBufferSize];
    wchar_t format[TextBufferSize], text[TextBufferSize];
    ConfigString(Key::MinimumVersion, minimum, sizeof minimum);
    ConfigString(Key::MaximumVersion, maximum, sizeof maximum);
    if (!minimum[0]) strcpy(minimum, "-");
    if (!maximum[0]) strcpy(maximum, "-");
    ConfigWString(Progress.downloadOffered ? Text::NotFoundWithDownload : Text::NotFoundLocateOnly, format, TextBufferSize);
    _snwprintf(text, TextBufferSize - 1, format, minimum, maximum);
    text[TextBufferSize - 1] = L'\0';
    SetDlgItemTextWide(dialog, IDC_MAIN_TEXT, text);
}

INT_PTR CALLBACK RuntimeNotFoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        CenterWindow(dialog);
        SetCaptionFromKey(dialog, Text::Caption);
        SetItemFromKey(dialog, IDCANCEL, Text::CancelButton);
        SetItemFromKey(dialog, IDC_LOCATE, Text::LocateButton);
        SetItemFromKey(dialog, IDC_DOWNLOAD, Text::DownloadButton);
        if (!Progress.downloadOffered) ShowWindow(GetDlgItem(dialog, IDC_DOWNLOAD), SW_HIDE);
        SetNotFoundMessage(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_LOCATE:
        // The dialog stays open after a cancelled or refused selection.
        if (LocateRuntime(dialog)) EndDialog(dialog, IDC_LOCATE);
        return FALSE;
    case IDCANCEL:
        TRACE("exit: code 1, the user cancelled the runtime-not-found dialog");
        EndProcess(1);
    default:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
}

INT_PTR AskForRuntime(HWND progressDialog) {
    INT_PTR choice = DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_RUNTIME_NOT_FOUND), progressDialog,
                                     RuntimeNotFoundDialogProc, 0);
    if (choice == -1) FatalSystemError("DialogBox");
    return choice;
}

// The watch gives the application 600 passes of 100 ms to show a window.
constexpr int WatchPassLimit = 600;
constexpr DWORD WatchPassMilliseconds = 100;

// Moves the bar on by 20 every fifth pass (about every 500 ms), staying 10
// below the limit.
static void AdvanceWatchProgress(HWND dialog) {
    Progress.base += 20;
    if (Progress.base > Progress.limit - 10) Progress.base = Progress.limit - 10;
    SetProgressPosition(dialog, Progress.base);
}

DWORD WINAPI WatchApplicationWindows(LPVOID progressDialog) {
    HWND dialog = static_cast<HWND>(progressDialog);
    int passes = 0;
    // The progress dialog itself is the one window the process has so far.
    while (CountProcessWindows(GetCurrentProcessId()) <= 1 && passes < WatchPassLimit) {
        ++passes;
        if (passes % 5 == 0) AdvanceWatchProgress(dialog);
        Sleep(WatchPassMilliseconds);
    }
    // Only windowed applications and installers are expected to show one: a
    // console application runs on, and the dialog just goes.
    int32_t type = ConfigInt(Key::ApplicationType);
    bool windowed = type == ApplicationType::Windowed || type == ApplicationType::Installer;
    if (passes == WatchPassLimit && windowed) FatalWideError(Text::NoWindow);
    TRACE("window: %s; the progress dialog hides", passes < WatchPassLimit
              ? "the application shows a window" : "a console application, no window to wait for");
    ShowWindow(dialog, SW_HIDE);
    return 0;
}
