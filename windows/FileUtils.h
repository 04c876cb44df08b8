// FileUtils.h — file helpers: the launcher's own executable as a block
// source, existence tests, and the per-user registry lists of files and
// directories left for deletion.
#pragma once

#include <windows.h>
#include <cstdint>

// Registry key (under HKEY_CURRENT_USER) of the launcher's per-user state.
#define LAUNCHER_REGISTRY_KEY "SOFTWARE\\larkspur\\kestrel\\"

// Read handle on the running executable, or INVALID_HANDLE_VALUE.
HANDLE OpenOwnExecutable();
// One 32-bit little-endian integer at the current position; a short read
// ends the process with "Internal Error: readInt".
int32_t ReadBlockInt(HANDLE file);

// True when the path names an existing file or directory (a search pattern
// exists when anything matches it) or a drive root.
bool FileExists(const char* path);
// True when the path exists; stores its last-write time when `time` is given.
bool FindFileTime(const char* path, FILETIME* time);

// Appends "path;" to the registry list `valueName` ("delete_file" or
// "delete_dir") under LAUNCHER_REGISTRY_KEY "temp\".
void AppendDeletionEntry(const char* path, const char* valueName);
