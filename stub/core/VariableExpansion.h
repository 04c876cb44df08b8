// VariableExpansion.h — replacing the launcher's variable references in
// configured texts: the executable's directory, the payload directory, the
// path list separator (percent and brace forms, KESTREL_ and TANAGER_
// prefixes) and environment variables in the brace form. No Win32 calls.
#pragma once

#include <cstddef>

// Replaces every occurrence of `pattern` in the NUL-terminated `text` (a
// buffer of `capacity` bytes) by `value`, in place. The search goes on right
// behind each inserted value, so a value that contains the pattern is not
// expanded again. An occurrence whose replacement would not fit the buffer
// stays as written: nothing is ever cut.
void ReplaceAll(char* text, size_t capacity, const char* pattern, const char* value);

// What the references stand for.
struct VariableValues {
    const char* executableDirectory;  // with its trailing backslash
    const char* payloadDirectory;     // empty without payload
    // Environment block: "name=value" entries, each NUL-terminated, the
    // block ending with an empty entry.
    const char* environment;
};

// Replaces the launcher variables in their fixed order, then "${name}" for
// each environment entry in block order, spelt as in the block and then in
// upper case. References to undefined variables stay as written.
void ExpandReferences(char* text, size_t capacity, const VariableValues& values);
