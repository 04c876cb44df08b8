// TextBuilder.h — a narrow text that grows as it is appended to, for results
// with no fixed bound such as the class path option. No Win32 calls.
#pragma once

#include <cstddef>

class TextBuilder {
public:
    TextBuilder() = default;
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;
    ~TextBuilder();

    // Appends `text`. When memory runs out the builder is marked failed and
    // ignores every later append, so callers check Failed() once at the end.
    void Append(const char* text);
    void Append(const char* text, size_t length);
    bool Failed() const { return failed_; }
    // Empties the builder and gives its memory back.
    void Clear();
    // The text so far ("" before the first append).
    const char* Text() const { return text_ ? text_ : ""; }
    size_t Length() const { return length_; }

private:
    char* text_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
    bool failed_ = false;
};
