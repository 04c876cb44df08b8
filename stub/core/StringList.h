// StringList.h — growable lists of owned strings, narrow (StringList) and
// UTF-16 (WideStringList), for the launcher's record lists (files to delete,
// option and argument lists). Entries are only appended and live until the
// process ends.
#pragma once

#include <cstddef>

#include "WideUnit.h"

template <typename Unit>
class TextList {
public:
    // Appends a copy of the NUL-terminated `text`; false when out of memory.
    bool Append(const Unit* text);
    // Appends a copy of the `length` units at `text` as one entry.
    bool Append(const Unit* text, size_t length);
    size_t Count() const { return count_; }
    const Unit* At(size_t index) const { return items_[index]; }

private:
    Unit** items_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

using StringList = TextList<char>;
using WideStringList = TextList<WideUnit>;
