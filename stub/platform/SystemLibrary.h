// SystemLibrary.h — system libraries loaded by their full path in the
// system directory, and their entry points bound when they are first
// needed. A library of the same name beside the launcher or in the current
// directory is never loaded instead. The executable does not import
// libraries that a start without dialogs never uses (the file chooser's,
// the shell's): loading and initialising them would cost every start.
#pragma once

#include <windows.h>

// Loads `library` (a file name such as "wininet.dll") from the system
// directory and keeps it for the life of the process; null when it is
// missing or its path does not fit.
HMODULE LoadSystemLibrary(const char* library);

// The export `name` of the system library `library`, or null when either is
// missing.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
