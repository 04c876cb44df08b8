// ClassPathSpec.cpp — entries of the configured class path list.
#include "ClassPathSpec.h"

#include <cstring>

bool NextClassPathEntry(const char** cursor, ClassPathEntry& entry) {
    const char* p = *cursor;
    while (*p) {
        size_t length = strcspn(p, ";");
        const char* entryText = p;
        p += length;
        if (*p == ';') ++p;
        if (length < 3) continue;
        *cursor = p;
        entry = {entryText[0], entryText[1] == '1', entryText + 2, length - 2};
        return true;
    }
    *cursor = p;
    return false;
}

ClassPathValue EnvironmentClassPathValue(const char* value) {
    size_t length = strlen(value);
    if (length >= 2 && value[0] == '"' && value[length - 1] == '"') {
        ++value;
        length -= 2;
    }
    return {value, length, length == 0 || value[length - 1] != ';'};
}
