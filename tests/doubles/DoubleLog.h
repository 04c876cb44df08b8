// DoubleLog.h — shared by the runtime doubles: the directory of the running
// module, and appending one line to a log file in it.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

// The directory of `module` (null: the program), with a trailing backslash.
inline void ModuleDirectory(HMODULE module, char* out, size_t capacity) {
    DWORD length = GetModuleFileNameA(module, out, DWORD(capacity));
    if (length == 0 || length >= capacity) length = 0;
    out[length] = '\0';
    char* slash = strrchr(out, '\\');
    if (slash) slash[1] = '\0';
}

// Appends `line` and a line feed to `name` in the directory of `module`.
inline void AppendLogLine(HMODULE module, const char* name, const char* line) {
    char path[MAX_PATH * 4];
    ModuleDirectory(module, path, sizeof path - strlen(name));
    strcat(path, name);
    FILE* log = fopen(path, "a");
    if (!log) return;
    fprintf(log, "%s\n", line);
    fclose(log);
}
