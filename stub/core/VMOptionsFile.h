// VMOptionsFile.h — the lines of a ".vmoptions" file as VM options: one
// option per line, verbatim but for the line end; no comments, quoting,
// continuation or expansion. Uses only the C library's stdio.
#pragma once

#include <cstdio>

#include "StringList.h"

// Longest option taken from one line; a longer line goes on in the next
// option (options fit the launcher's 8192-byte text buffers).
constexpr size_t VMOptionLineLimit = 8191;

// Appends one option per line of `file` (opened in text mode), the CR
// characters that end the line removed (a CR inside the line stays); an
// empty line gives an empty option. False when out of memory.
bool ReadVMOptionLines(FILE* file, StringList& options);
