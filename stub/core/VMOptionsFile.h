// VMOptionsFile.h — the lines of a ".vmoptions" file as VM options: one
// option per line, verbatim but for the line end; no comments, quoting,
// continuation or expansion. Uses only the C library's stdio.
#pragma once

#include <cstdio>

#include "StringList.h"

// Longest option taken from one line; a longer line goes on in the next
// option (the file is read through 8192-byte line buffers).
constexpr size_t VMOptionLineLimit = 8191;

// Appends one option per line of `file` (opened in text mode), trailing CR
// and LF characters removed; an empty line gives an empty option. False when
// out of memory.
bool ReadVMOptionLines(FILE* file, StringList& options);
