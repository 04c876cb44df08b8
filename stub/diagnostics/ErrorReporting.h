// ErrorReporting.h — reporting errors in message boxes or on standard error,
// ending the process with its exit code, and the in-memory lists of files
// and directories the launcher created (recorded for deletion at exit).
#pragma once

#include <windows.h>
#include <cstddef>

// Owner of error message boxes; none until the progress dialog installs itself.
extern HWND ErrorOwnerWindow;
void SetErrorOwnerWindow(HWND window);

void ShowErrorText(const char* text);
void ShowErrorWText(const wchar_t* text);
// Shows narrow message `key` with the first `placeholder` (may be null)
// replaced by `replacement`.
void ShowConfiguredError(int key, const char* placeholder, const char* replacement);

[[noreturn]] void FatalInternalError(const char* text);
[[noreturn]] void FatalWideError(int key);
[[noreturn]] void FatalConfiguredError(int key, const char* placeholder, const char* replacement);
// Records the deletion lists, then ends the process with `code`.
[[noreturn]] void ExitLauncher(int code);

// Writes `message` with the first occurrence of `placeholder` (may be null)
// replaced by `replacement` into `out`; a longer result is cut to fit.
void ReplaceFirstPlaceholder(char* out, size_t capacity, const char* message,
                             const char* placeholder, const char* replacement);

void RegisterFileForDeletion(const char* path);
void RegisterDirectoryForDeletion(const char* path);
// Appends every registered file, then every registered directory, to the
// per-user deletion lists. The in-memory lists stay, so a second call
// appends the same entries again.
void RunExitCleanup();
