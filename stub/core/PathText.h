// PathText.h — string operations on Windows paths that need no file system:
// the relative-path test, collapsing backslash runs, joining with a bound.
// No Win32 calls.
#pragma once

#include <cstddef>

// True unless the path starts with a drive and ":\" or with "\\" (UNC), also
// when the whole path is enclosed in double quotes.
bool IsRelativePath(const char* path);

// Collapses every run of backslashes to one, in place, except that the first
// character is always kept, so a leading "\\" (UNC) survives.
void CollapseBackslashes(char* path);

// Appends `text` to the NUL-terminated `out` of `capacity` bytes. When it
// does not fit, `out` is left unchanged and false returned: callers reject
// an overlong path rather than work with a cut one.
bool AppendBounded(char* out, size_t capacity, const char* text);

// True when `path` is a full path (drive or UNC, not quoted) whose last
// component is a name the launcher gives its payload folders: "ksl", hex
// digits, ".tmp_dir", decimal digits, letters in either case. Only such a
// path is ever removed as a payload folder of an earlier start.
bool IsPayloadFolderPath(const char* path);
