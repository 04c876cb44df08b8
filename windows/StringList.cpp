// StringList.cpp — appending owned copies to a growable string list.
#include "StringList.h"

#include <cstdlib>
#include <cstring>

bool StringList::Append(const char* text) {
    if (count_ == capacity_) {
        size_t grown = capacity_ ? capacity_ * 2 : 16;
        char** larger = static_cast<char**>(realloc(items_, grown * sizeof(char*)));
        if (!larger) return false;
        items_ = larger;
        capacity_ = grown;
    }
    char* copy = strdup(text);
    if (!copy) return false;
    items_[count_++] = copy;
    return true;
}
