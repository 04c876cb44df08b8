// WindowDiscovery.h — the visible top-level windows of a process: bringing
// them to the front, counting them, and recognising the launcher's own
// console window so that it stays out of the count.
#pragma once

#include <windows.h>

// Restores (when minimised) and brings to the foreground every visible
// top-level window of the process, each followed by its last active pop-up,
// in enumeration order: the last one treated ends in front.
void ActivateProcessWindows(DWORD processId);

// The number of visible top-level windows of the process, the launcher's own
// console window left out (see FindOwnConsoleWindow).
int CountProcessWindows(DWORD processId);

// The visible top-level windows of the process apart from `excluded` (may be
// null).
int CountVisibleWindows(DWORD processId, HWND excluded);

// Determines the process's console window once per process and returns it:
// null for a windowed application (ApplicationType::Windowed), for a process without a
// console, and when no window shows the console's title.
HWND FindOwnConsoleWindow();

// Gives the console a unique title for a moment, looks for the top-level
// window showing it, and puts the old title back. Null without a console.
HWND LookUpConsoleWindow();
