// TextFormat.h — printf-style formatting into a caller's buffer through the
// system C runtime's own formatter. (The C++ headers switch the plain
// snprintf family to MinGW's portable implementation, ~27 KB of code the
// launcher does not need.)
#pragma once

#include <stdarg.h>
#include <stddef.h>

// Formats into `out` of `capacity` bytes, always terminated. False when the
// text did not fit (`out` then holds the cut text).
bool FormatText(char* out, size_t capacity, const char* format, ...);
bool FormatTextV(char* out, size_t capacity, const char* format, va_list args);
// The whole formatted text in a block from malloc (the caller frees it);
// null when memory ran out.
char* FormatNewTextV(const char* format, va_list args);
