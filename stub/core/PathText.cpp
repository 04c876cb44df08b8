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
