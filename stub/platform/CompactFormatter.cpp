// CompactFormatter.cpp — linked into the launcher executable only (not into
// the test programs): a small stand-in for MinGW's portable vsnprintf.
//
// zlib, as the MinGW package builds it, formats its few messages through
// MinGW's portable vsnprintf, which would bring that whole formatter (~27 KB)
// into the image for texts made of "%s" and "%d" alone. This definition takes
// its place (the linker then never pulls the library's) and keeps its
// contract: the result is always terminated and the return value is the full
// length. It formats through the C runtime's own formatter, so it is no
// substitute where C99-only conversions are used — hence not in the tests.
#include <stdio.h>

#include "TextFormat.h"

extern "C" int __mingw_vsnprintf(char* out, size_t capacity, const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int needed = _vscprintf(format, measure);
    va_end(measure);
    if (capacity > 0) FormatTextV(out, capacity, format, args);
    return needed;
}
