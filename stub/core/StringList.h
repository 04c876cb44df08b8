// StringList.h — a growable list of owned narrow strings, for the launcher's
// record lists (files to delete, option and argument lists). Entries are only
// appended and live until the process ends.
#pragma once

#include <cstddef>

class StringList {
public:
    // Appends a copy of `text`; false when out of memory.
    bool Append(const char* text);
    // Appends a copy of the `length` bytes at `text` as one entry.
    bool Append(const char* text, size_t length);
    size_t Count() const { return count_; }
    const char* At(size_t index) const { return items_[index]; }

private:
    char** items_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};
