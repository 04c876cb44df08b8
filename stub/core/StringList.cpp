// StringList.cpp — appending owned copies to a growable string list.
#include "StringList.h"

#include <cstdlib>
#include <cstring>

bool StringList::Append(const char* text) { return Append(text, strlen(text)); }

bool StringList::Append(const char* text, size_t length) {
    if (count_ == capacity_) {
        size_t grown = capacity_ ? capacity_ * 2 : 16;
        char** larger = static_cast<char**>(realloc(items_, grown * sizeof(char*)));
        if (!larger) return false;
        items_ = larger;
        capacity_ = grown;
    }
    char* copy = static_cast<char*>(malloc(length + 1));
    if (!copy) return false;
    memcpy(copy, text, length);
    copy[length] = '\0';
    items_[count_++] = copy;
    return true;
}
