// StringList.cpp — appending owned copies to a growable string list.
#include "StringList.h"

#include <cstdlib>
#include <cstring>

template <typename Unit>
bool TextList<Unit>::Append(const Unit* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return Append(text, length);
}

template <typename Unit>
bool TextList<Unit>::Append(const Unit* text, size_t length) {
    if (count_ == capacity_) {
        size_t grown = capacity_ ? capacity_ * 2 : 16;
        Unit** larger = static_cast<Unit**>(realloc(items_, grown * sizeof(Unit*)));
        if (!larger) return false;
        items_ = larger;
        capacity_ = grown;
    }
    Unit* copy = static_cast<Unit*>(malloc((length + 1) * sizeof(Unit)));
    if (!copy) return false;
    memcpy(copy, text, length * sizeof(Unit));
    copy[length] = Unit(0);
    items_[count_++] = copy;
    return true;
}

template class TextList<char>;
template class TextList<WideUnit>;
