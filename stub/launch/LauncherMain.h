// LauncherMain.h — the launcher's main routine, its command-line words and
// the ordered launch sequence, with the process-wide launcher state.
#pragma once

#include <windows.h>

// The launcher's own words of the command line (CommandLineWords.h): the
// quiet switch (no dialog, errors on standard error) and the manual runtime
// choice. Every word the launcher does not take goes to the application
// unchanged, with every character the system's wide command line holds.
extern bool QuietMode;
extern bool ManualMode;

// The whole start: configuration and process environment, the command line
// (the full one, program name first, as GetCommandLineW gives it), the
// single-instance guard, the question after an unfinished earlier start,
// then the launch sequence quietly or under the progress dialog. Returns 0
// when it returns at all.
int LauncherMain(HINSTANCE instance, const wchar_t* commandLine);
// Runs on the main thread (quiet, window null) or on the progress dialog's
// worker thread (window = the dialog).
DWORD WINAPI LaunchSequence(LPVOID progressDialog);
