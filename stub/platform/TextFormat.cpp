// TextFormat.cpp — formatting through the C runtime's _vsnprintf, which
// does not terminate a cut text itself. Only C headers here, so the
// runtime's own formatter is the one called.
#include "TextFormat.h"

#include <stdio.h>
#include <stdlib.h>

bool FormatTextV(char* out, size_t capacity, const char* format, va_list args) {
    if (capacity == 0) return false;
    int written = _vsnprintf(out, capacity, format, args);
    out[capacity - 1] = '\0';
    return written >= 0 && size_t(written) < capacity;
}

bool FormatText(char* out, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    bool fits = FormatTextV(out, capacity, format, args);
    va_end(args);
    return fits;
}

char* FormatNewTextV(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    int length = _vscprintf(format, measure);
    va_end(measure);
    if (length < 0) return nullptr;
    char* text = static_cast<char*>(malloc(size_t(length) + 1));
    if (text) FormatTextV(text, size_t(length) + 1, format, args);
    return text;
}
