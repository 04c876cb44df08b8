// FileUtils.h — file and path helpers: the launcher's own executable and
// its directory, resolving configured paths against that directory, existence
// tests and temporary names.
//
// Configured relative paths are always taken relative to the executable's
// directory, never to the working directory. Operations that produce a path
// return false (and an empty result) when it would not fit the caller's
// buffer, so an overlong path is never used cut.
#pragma once

#include <windows.h>
#include <cstdint>

// Registry key (under HKEY_CURRENT_USER) of the launcher's per-user state.
#define LAUNCHER_REGISTRY_KEY "SOFTWARE\\larkspur\\kestrel\\"

// Read handle on the running executable, or INVALID_HANDLE_VALUE.
HANDLE OpenOwnExecutable();

// Moves the file pointer of `file` to `offset` bytes from its start; false
// when the system refuses (the pointer is then where it was).
bool SeekFile(HANDLE file, uint64_t offset);
// The file pointer's offset from the start of `file`; false when the
// system cannot tell.
bool FilePosition(HANDLE file, uint64_t* position);

// The module file name in its short (8.3) form, lower case, backslash runs
// collapsed; computed once.
const char* ExecutablePath();
// The full directory of ExecutablePath(), ending with a backslash.
const char* ExecutableDirectory();

// `path` prefixed with ExecutableDirectory() when relative, runs of
// backslashes collapsed; "." and ".." are kept.
bool ResolveAgainstExeDir(char* out, size_t capacity, const char* path);
// ResolveAgainstExeDir, made a full path (resolving "." and ".."), lower
// case unless `keepCase`, backslash runs collapsed.
bool NormalisePath(char* out, size_t capacity, const char* path, bool keepCase);
// Every non-empty entry of the ';'-separated `list` resolved against the
// executable's directory, joined with ';' (none after the last).
bool ResolvePathList(char* out, size_t capacity, const char* list);

// Creates a new empty file "ksl<hex>.tmp" in the temporary directory and
// returns its full name.
bool MakeTempFileName(char* out, size_t capacity);
// The temporary directory followed by "ksl_p<pid>.tmp".
bool MakeProcessFileName(char* out, size_t capacity, unsigned long processId);

// Removes the directory `path` with everything below it, as far as it can
// (read-only entries too); a link below it is removed itself, never followed.
void DeleteDirectoryTree(const char* path);

// True when the path names an existing file or directory (a search pattern
// exists when anything matches it) or a drive root.
bool FileExists(const char* path);
// True when the path exists; stores its last-write time when `time` is given.
bool FindFileTime(const char* path, FILETIME* time);
