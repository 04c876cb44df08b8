// LauncherMain.h — the launcher's main routine, its command-line switches and
// the ordered launch sequence, with the process-wide launcher state.
#pragma once

#include <windows.h>

// The command-line tail, every switch kept; handed to the Java side as it is.
// Kept whole whatever its length, so no argument is ever cut.
extern const char* LauncherArguments;
extern bool QuietMode;
extern bool ManualMode;

// The text after the program name in a full command line: leading blanks and
// tabs skipped, the (possibly quoted) program name skipped, then blanks and
// tabs skipped again.
const char* CommandLineTail(const char* commandLine);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int showCommand);
// Runs on the main thread (quiet, window null) or on the progress dialog's
// worker thread (window = the dialog).
DWORD WINAPI LaunchSequence(LPVOID progressDialog);
