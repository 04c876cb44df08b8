// ConsoleWindowHost.cpp — test program laid out like the launcher stub, so
// kestrel-pack can append a configuration block to it. It loads its block,
// gives itself a console with a known title, counts its own windows twice
// while a watcher thread records every other title the console shows, and
// writes a report to the file named on its command line:
//
//   process <own process id>
//   console-window found|none|other   (the own console window as the count saw it)
//   count <first count> <second count>
//   titles <titles seen during the first count> <during the second>
//   seen <first title seen, or "-">
//   title-after <console title at the end>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "ConfigBlock.h"
#include "WindowDiscovery.h"

namespace {

const char KnownTitle[] = "console window host";

struct TitleWatch {
    volatile bool stop = false;
    int changes = 0;
    char first[256] = "-";
};

// Polls the console title as fast as it can and counts the changes away
// from the known title.
DWORD WINAPI WatchTitle(LPVOID parameter) {
    TitleWatch* watch = static_cast<TitleWatch*>(parameter);
    bool away = false;
    while (!watch->stop) {
        char title[256] = "";
        GetConsoleTitleA(title, sizeof title);
        bool isKnown = strcmp(title, KnownTitle) == 0;
        if (!isKnown && !away) {
            if (watch->changes++ == 0) strcpy(watch->first, title);
        }
        away = !isKnown;
    }
    return 0;
}

// Counts the process's windows while the title is watched; returns the count
// and stores how many title changes were seen.
int WatchedCount(TitleWatch* watch) {
    HANDLE watcher = CreateThread(nullptr, 0, WatchTitle, watch, 0, nullptr);
    Sleep(20);
    int count = CountProcessWindows(GetCurrentProcessId());
    Sleep(20);
    watch->stop = true;
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    return count;
}

const char* ConsoleWindowState() {
    HWND found = FindOwnConsoleWindow();
    if (!found) return "none";
    return found == GetConsoleWindow() ? "found" : "other";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    LoadConfigBlock();
    // Wine gives a program started from a Unix shell no usable console; a
    // fresh one has a console window.
    FreeConsole();
    if (!AllocConsole() || !SetConsoleTitleA(KnownTitle)) return 3;

    // One visible window of its own, like a launcher's progress dialog.
    HWND window = CreateWindowA("STATIC", "host window", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 50,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    TitleWatch firstWatch, secondWatch;
    int firstCount = WatchedCount(&firstWatch);
    int secondCount = WatchedCount(&secondWatch);
    char titleAfter[256] = "";
    GetConsoleTitleA(titleAfter, sizeof titleAfter);
    DestroyWindow(window);

    FILE* report = fopen(argv[1], "w");
    if (!report) return 4;
    fprintf(report, "process %lu\n", GetCurrentProcessId());
    fprintf(report, "console-window %s\n", ConsoleWindowState());
    fprintf(report, "count %d %d\n", firstCount, secondCount);
    fprintf(report, "titles %d %d\n", firstWatch.changes, secondWatch.changes);
    fprintf(report, "seen %s\n", firstWatch.first);
    fprintf(report, "title-after %s\n", titleAfter);
    fclose(report);
    return 0;
}
