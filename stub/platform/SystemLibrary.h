// SystemLibrary.h — entry points of system libraries bound when they are
// first needed. The executable does not import libraries that a start
// without dialogs never uses (the file chooser's, the shell's): loading and
// initialising them would cost every start.
#pragma once

#include <windows.h>

// The export `name` of the system library `library` (loaded now and kept
// for the life of the process), or null when either is missing.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
