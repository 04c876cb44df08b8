// ErrorReporting.h — showing an error in a message box or on standard error
// and ending the process with its exit code. The texts come from the caller:
// this layer knows nothing of the configuration.
#pragma once

#include <windows.h>

// How errors are shown: message boxes while true, standard error otherwise.
// Written on the main thread at start (configuration loading, the quiet
// switch) before any other thread exists.
extern bool GuiMode;
// Owner of error message boxes; none until the progress dialog installs itself.
extern HWND ErrorOwnerWindow;
void SetErrorOwnerWindow(HWND window);

// A step that must run before any error is shown and before the launcher
// ends itself (the deletion lists are recorded this way). One at most.
void SetErrorCleanup(void (*cleanup)());

// Runs the cleanup, then shows `text` (a message box with `caption`, or the
// text and a line feed on standard error).
void ShowErrorText(const char* text, const char* caption);
void ShowErrorWText(const wchar_t* text, const wchar_t* caption);

// The launcher's one way to end the process: the C streams are flushed,
// then the system ends the process with `code` at once. No run-time library
// exit handlers or static destructors run, so threads that still run
// meanwhile (the worker, the VM) never meet freed state.
[[noreturn]] void EndProcess(int code);

// ShowErrorText, then the process ends with exit code 1.
[[noreturn]] void FatalErrorText(const char* text, const char* caption);
// Runs the cleanup, then ends the process with `code`.
[[noreturn]] void ExitLauncher(int code);
