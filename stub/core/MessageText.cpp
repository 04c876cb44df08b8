// MessageText.cpp — placeholder replacement with a cut at the buffer's end.
#include "MessageText.h"

#include <cstring>

// Appends at most what still fits (keeping room for the terminator).
static void AppendCut(char* out, size_t capacity, size_t* used, const char* text, size_t length) {
    size_t room = capacity - 1 - *used;
    if (length > room) length = room;
    memcpy(out + *used, text, length);
    *used += length;
    out[*used] = '\0';
}

void ReplaceFirstPlaceholder(char* out, size_t capacity, const char* message,
                             const char* placeholder, const char* replacement) {
    size_t used = 0;
    out[0] = '\0';
    const char* at = (placeholder && *placeholder) ? strstr(message, placeholder) : nullptr;
    if (!at) {
        AppendCut(out, capacity, &used, message, strlen(message));
        return;
    }
    AppendCut(out, capacity, &used, message, size_t(at - message));
    AppendCut(out, capacity, &used, replacement, strlen(replacement));
    const char* rest = at + strlen(placeholder);
    AppendCut(out, capacity, &used, rest, strlen(rest));
}
