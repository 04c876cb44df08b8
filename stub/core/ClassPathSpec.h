// ClassPathSpec.h — reading the configured class path list: ';'-separated
// entries, each a kind letter, a mandatory mark and a name; and how an
// environment variable's value joins the class path. No Win32 calls.
#pragma once

#include <cstddef>

struct ClassPathEntry {
    char kind;       // 'D' directory, 'A' archive, 'S' scan, 'E' environment
    bool mandatory;  // second character '1'
    const char* name;
    size_t nameLength;
};

// The next entry of the list at *cursor, moving the cursor behind
// it; false at the end. Empty entries are skipped, and so are entries of
// fewer than three characters: a kind letter without a name names nothing
// that could be added or found missing.
bool NextClassPathEntry(const char** cursor, ClassPathEntry& entry);

// Where an environment variable's value lies on the class path: without a
// pair of enclosing double quotes, and whether a ';' must follow it (not
// when the unquoted value already ends with one).
struct ClassPathValue {
    const char* text;
    size_t length;
    bool needsSeparator;
};
ClassPathValue EnvironmentClassPathValue(const char* value);
