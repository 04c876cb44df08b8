// InstanceProbe.cpp — test helper for the single-instance scenarios: shows
// and steers the top-level windows of a running launcher, and looks up
// named semaphores and short path names.
//
//   instance-probe windows PID
//       one line per visible top-level window of the process, in enumeration
//       order: "window <iconic 0|1> <foreground 0|1> <class> <title>"
//   instance-probe steal PID CLASS SECONDS
//       minimises the process's visible windows of that class, then opens a
//       window of its own, takes the foreground and keeps it for SECONDS
//   instance-probe semaphore NAME
//       exit code 0 when a semaphore of that name exists, 1 otherwise
//   instance-probe short-path PATH
//       prints the short (8.3) form of the path
//   instance-probe temp-dir
//       prints the temporary directory as the system reports it
// Output is UTF-8 text; unknown commands exit with 2.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Target {
    DWORD processId;
    const char* windowClass;  // null: every class
};

bool Matches(HWND window, const Target& target) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != target.processId || !IsWindowVisible(window)) return false;
    char name[256];
    GetClassNameA(window, name, sizeof name);
    return !target.windowClass || strcmp(name, target.windowClass) == 0;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM parameter) {
    if (!Matches(window, *reinterpret_cast<Target*>(parameter))) return TRUE;
    char name[256];
    wchar_t title[1024];
    char utf8Title[4096];
    GetClassNameA(window, name, sizeof name);
    GetWindowTextW(window, title, 1024);
    WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8Title, sizeof utf8Title, nullptr, nullptr);
    printf("window %d %d %s %s\n", IsIconic(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0,
           name, utf8Title);
    return TRUE;
}

BOOL CALLBACK MinimiseWindow(HWND window, LPARAM parameter) {
    if (Matches(window, *reinterpret_cast<Target*>(parameter))) ShowWindow(window, SW_MINIMIZE);
    return TRUE;
}

// A plain visible window that holds the foreground until `seconds` passed.
int HoldForeground(double seconds) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "InstanceProbeHolder";
    RegisterClassA(&windowClass);
    HWND holder = CreateWindowA("InstanceProbeHolder", "foreground holder", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(holder);
    SetTimer(holder, 1, UINT(seconds * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && strcmp(argv[1], "windows") == 0) {
        Target target = {DWORD(strtoul(argv[2], nullptr, 0)), nullptr};
        EnumWindows(PrintWindow, reinterpret_cast<LPARAM>(&target));
        return 0;
    }
    if (argc == 5 && strcmp(argv[1], "steal") == 0) {
        Target target = {DWORD(strtoul(argv[2], nullptr, 0)), argv[3]};
        EnumWindows(MinimiseWindow, reinterpret_cast<LPARAM>(&target));
        return HoldForeground(atof(argv[4]));
    }
    if (argc == 3 && strcmp(argv[1], "semaphore") == 0) {
        HANDLE semaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, argv[2]);
        if (!semaphore) return 1;
        CloseHandle(semaphore);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "short-path") == 0) {
        char shortPath[MAX_PATH * 4];
        DWORD length = GetShortPathNameA(argv[2], shortPath, sizeof shortPath);
        if (length == 0 || length >= sizeof shortPath) return 1;
        printf("%s\n", shortPath);
        return 0;
    }
    if (argc == 2 && strcmp(argv[1], "temp-dir") == 0) {
        char directory[MAX_PATH * 4];
        DWORD length = GetTempPathA(sizeof directory, directory);
        if (length == 0 || length >= sizeof directory) return 1;
        printf("%s\n", directory);
        return 0;
    }
    fprintf(stderr, "usage: instance-probe windows|steal|semaphore|short-path|temp-dir ...\n");
    return 2;
}
