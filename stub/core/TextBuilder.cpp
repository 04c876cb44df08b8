// TextBuilder.cpp — appending to a growing narrow text.
#include "TextBuilder.h"

#include <cstdlib>
#include <cstring>

TextBuilder::~TextBuilder() { free(text_); }

void TextBuilder::Clear() {
    free(text_);
    text_ = nullptr;
    length_ = capacity_ = 0;
    failed_ = false;
}

void TextBuilder::Append(const char* text) { Append(text, strlen(text)); }

void TextBuilder::Append(const char* text, size_t length) {
    if (failed_) return;
    if (length_ + length + 1 > capacity_) {
        size_t grown = capacity_ ? capacity_ : 256;
        while (grown < length_ + length + 1) grown *= 2;
        char* larger = static_cast<char*>(realloc(text_, grown));
        if (!larger) {
            failed_ = true;
            return;
        }
        text_ = larger;
        capacity_ = grown;
    }
    memcpy(text_ + length_, text, length);
    length_ += length;
    text_[length_] = '\0';
}
