// DeletionList.cpp — appending whole entries to a deletion-list text.
#include "DeletionList.h"

#include <cstring>

bool AppendListEntry(char* list, size_t capacity, const char* path) {
    size_t used = strlen(list), length = strlen(path);
    if (length == 0 || strchr(path, ';')) return false;
    if (used + length + 2 > capacity) return false;  // path, ';' and the terminator
    memcpy(list + used, path, length);
    list[used + length] = ';';
    list[used + length + 1] = '\0';
    return true;
}
