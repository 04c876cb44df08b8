// SystemError.cpp — FormatMessage's text for an error code, on one line.
#include "SystemError.h"

#include <cstring>

#include "TextFormat.h"

// Removes trailing line ends, blanks and a full stop.
static void TrimMessageEnd(char* text) {
    size_t length = strlen(text);
    while (length > 0 && strchr("\r\n .", text[length - 1])) --length;
    text[length] = '\0';
}

const char* SystemErrorText(DWORD code, char* out, size_t capacity) {
    char message[1024];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  message, sizeof message, nullptr);
    if (length == 0) message[0] = '\0';
    TrimMessageEnd(message);
    if (message[0]) FormatText(out, capacity, "error %lu: %s", code, message);
    else FormatText(out, capacity, "error %lu", code);
    return out;
}
