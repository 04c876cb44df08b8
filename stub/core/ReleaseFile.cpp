// ReleaseFile.cpp — finding and checking the JAVA_VERSION line.
#include "ReleaseFile.h"

#include <cstring>

static const char VersionKey[] = "JAVA_VERSION=\"";

// Text, not a binary file: no control characters but tab, CR and LF.
static bool IsText(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7f) return false;
    }
    return true;
}

// The start of the first line that begins with VersionKey, or null.
static const char* FindVersionLine(const char* text, size_t length) {
    const size_t keyLength = sizeof VersionKey - 1;
    for (size_t start = 0; start < length;) {
        if (length - start >= keyLength && memcmp(text + start, VersionKey, keyLength) == 0) return text + start;
        const void* lineEnd = memchr(text + start, '\n', length - start);
        if (!lineEnd) return nullptr;
        start = size_t(static_cast<const char*>(lineEnd) - text) + 1;
    }
    return nullptr;
}

bool ParseReleaseVersion(const char* text, size_t length, char* version, size_t capacity) {
    if (capacity > 0) version[0] = '\0';
    if (length > ReleaseFileLimit || !IsText(text, length)) return false;
    const char* line = FindVersionLine(text, length);
    if (!line) return false;
    const char* start = line + sizeof VersionKey - 1;
    const char* end = start;
    const char* textEnd = text + length;
    while (end < textEnd && *end != '"' && *end != '\r' && *end != '\n') ++end;
    size_t versionLength = size_t(end - start);
    if (end == textEnd || *end != '"' || versionLength == 0 || versionLength >= capacity) return false;
    memcpy(version, start, versionLength);
    version[versionLength] = '\0';
    return true;
}
