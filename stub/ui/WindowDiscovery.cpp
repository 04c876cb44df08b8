// WindowDiscovery.cpp — activation and counting of a process's visible
// top-level windows, and the one-time lookup of the own console window.
//
// Each enumeration gets its data through the callback's parameter, so two
// enumerations (on two threads, say) never share a target or a count.
#include "WindowDiscovery.h"

#include <cstdio>

#include "ConfigBlock.h"
#include "TextFormat.h"
#include "ConfigKeys.h"

// Time for a console title change to reach the console window.
constexpr DWORD TitleSettleMilliseconds = 40;

// Marks the console window as not yet looked for.
static const HWND ConsoleWindowUndetermined = HWND(1);
static HWND ConsoleWindow = ConsoleWindowUndetermined;

static bool IsVisibleWindowOf(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == processId && IsWindowVisible(window);
}

static BOOL CALLBACK ActivateWindow(HWND window, LPARAM processId) {
    if (!IsVisibleWindowOf(window, DWORD(processId))) return TRUE;
    // Asked before the window itself is restored or activated: either makes
    // the window its own last active pop-up, and its modal dialog would then
    // stay behind it.
    HWND popup = GetLastActivePopup(window);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    SetForegroundWindow(popup ? popup : window);
    return TRUE;
}

void ActivateProcessWindows(DWORD processId) { EnumWindows(ActivateWindow, LPARAM(processId)); }

namespace {
struct WindowCount {
    DWORD processId;
    HWND excluded;
    int count;
};
}  // namespace

static BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
    WindowCount* tally = reinterpret_cast<WindowCount*>(parameter);
    if (window != tally->excluded && IsVisibleWindowOf(window, tally->processId)) ++tally->count;
    return TRUE;
}

int CountVisibleWindows(DWORD processId, HWND excluded) {
    WindowCount tally = {processId, excluded, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

int CountProcessWindows(DWORD processId) {
    return CountVisibleWindows(processId, FindOwnConsoleWindow());
}

HWND FindOwnConsoleWindow() {
    if (ConsoleWindow == ConsoleWindowUndetermined)
        ConsoleWindow = ConfigInt(Key::ApplicationType) == ApplicationType::Windowed ? nullptr : LookUpConsoleWindow();
    return ConsoleWindow;
}

HWND LookUpConsoleWindow() {
    char savedTitle[TextBufferSize];
    // A title longer than the buffer comes back cut, and is restored cut.
    if (GetConsoleTitleA(savedTitle, sizeof savedTitle) == 0) return nullptr;
    char uniqueTitle[32];
    FormatText(uniqueTitle, sizeof uniqueTitle, "%d/%d", int(GetTickCount()), int(GetCurrentProcessId()));
    if (!SetConsoleTitleA(uniqueTitle)) return nullptr;
    Sleep(TitleSettleMilliseconds);
    HWND found = FindWindowA(nullptr, uniqueTitle);
    SetConsoleTitleA(savedTitle);
    return found;
}
