// WideText.h — UTF-16 texts on windows and dialog items on every Windows
// family (the wide window functions where the system has them, a converted
// ANSI text elsewhere), and the long form of a path on systems whose kernel
// lacks the long-path-name call.
#pragma once

#include <windows.h>

void SetWindowTextWide(HWND window, const wchar_t* text);
void SetDlgItemTextWide(HWND dialog, int item, const wchar_t* text);

// The contract of GetLongPathNameA: the length of the long path without its
// terminator on success; the size needed, terminator included, when
// `capacity` is too small (the buffer is then not written); 0 on failure,
// with the thread's last error set.
DWORD LongPathName(const char* path, char* out, DWORD capacity);
// The same contract, built on the shell's name parsing; LongPathName uses
// it where the system call is missing or not implemented.
DWORD WINAPI LongPathNameFallback(const char* path, char* out, DWORD capacity);
