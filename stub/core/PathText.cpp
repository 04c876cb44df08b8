// PathText.cpp — relative-path test, backslash collapsing, bounded joins.
#include "PathText.h"

#include <cstring>

bool IsRelativePath(const char* path) {
    size_t n = strlen(path);
    if (n <= 2) return true;
    if (path[0] == '"') {
        if (n <= 3) return true;
        return !((path[2] == ':' && path[3] == '\\') || (path[1] == '\\' && path[2] == '\\'));
    }
    return !((path[1] == ':' && path[2] == '\\') || (path[0] == '\\' && path[1] == '\\'));
}

void CollapseBackslashes(char* path) {
    if (!path[0]) return;
    size_t kept = 0;  // index of the last kept character
    for (size_t i = 1; path[i]; ++i) {
        if (path[i] == '\\' && path[kept] == '\\' && kept >= 1) continue;
        path[++kept] = path[i];
    }
    path[kept + 1] = '\0';
}

bool AppendBounded(char* out, size_t capacity, const char* text) {
    size_t used = strlen(out), length = strlen(text);
    if (used + length + 1 > capacity) return false;
    memcpy(out + used, text, length + 1);
    return true;
}

// The length of the run of characters at `text` that `accepts` takes.
static size_t RunLength(const char* text, bool (*accepts)(char)) {
    size_t length = 0;
    while (text[length] && accepts(text[length])) ++length;
    return length;
}

static bool IsHexDigit(char c) { return strchr("0123456789abcdefABCDEF", c) != nullptr; }
static bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

static bool StartsWithIgnoringCase(const char* text, const char* lowerPrefix) {
    for (; *lowerPrefix; ++text, ++lowerPrefix) {
        char c = *text >= 'A' && *text <= 'Z' ? char(*text - 'A' + 'a') : *text;
        if (c != *lowerPrefix) return false;
    }
    return true;
}

bool IsPayloadFolderPath(const char* path) {
    if (path[0] == '"' || IsRelativePath(path)) return false;
    const char* name = strrchr(path, '\\') + 1;
    if (!StartsWithIgnoringCase(name, "ksl")) return false;
    name += 3;
    size_t digits = RunLength(name, IsHexDigit);
    if (digits == 0 || !StartsWithIgnoringCase(name + digits, ".tmp_dir")) return false;
    name += digits + strlen(".tmp_dir");
    digits = RunLength(name, IsDecimalDigit);
    return digits > 0 && name[digits] == '\0';
}
