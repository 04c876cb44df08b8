// SystemError.h — the system's own text for a Win32 error code, for traces
// and messages that say why a call failed.
#pragma once

#include <windows.h>

// "error <code>: <the system's text>" (line ends and a final full stop
// removed; "error <code>" alone when the system has no text) into `out` of
// `capacity` bytes, cut if ever longer. Returns `out`.
const char* SystemErrorText(DWORD code, char* out, size_t capacity);
