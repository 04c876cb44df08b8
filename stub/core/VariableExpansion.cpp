// VariableExpansion.cpp — in-place replacement of launcher variable and
// environment references.
#include "VariableExpansion.h"

#include <cstring>

void ReplaceAll(char* text, size_t capacity, const char* pattern, const char* value) {
    size_t patternLength = strlen(pattern), valueLength = strlen(value);
    if (patternLength == 0) return;
    size_t length = strlen(text);
    char* at = strstr(text, pattern);
    while (at) {
        size_t expanded = length - patternLength + valueLength;
        if (expanded >= capacity) {
            // Too long for the buffer: this occurrence (and, the text being
            // unchanged, every later one) stays as written.
            return;
        }
        size_t tail = length - size_t(at - text) - patternLength;
        memmove(at + valueLength, at + patternLength, tail + 1);
        memcpy(at, value, valueLength);
        length = expanded;
        at = strstr(at + valueLength, pattern);
    }
}

static void ReplaceLauncherVariables(char* text, size_t capacity, const VariableValues& values) {
    const char* const executableDirectory = values.executableDirectory;
    const char* const payloadDirectory = values.payloadDirectory;
    const struct {
        const char* reference;
        const char* value;
    } variables[] = {
        {"%KESTREL_EXEDIR%", executableDirectory},
        {"%TANAGER_EXEDIR%", executableDirectory},
        {"%KESTREL_TEMPDIR%", payloadDirectory},
        {"%TANAGER_TEMPDIR%", payloadDirectory},
        {"%KESTREL_PATHLIST_SEPARATOR%", ";"},
        {"%TANAGER_PATHLIST_SEPARATOR%", ";"},
        {"${KESTREL_EXEDIR}", executableDirectory},
        {"${TANAGER_EXEDIR}", executableDirectory},
        {"${KESTREL_TEMPDIR}", payloadDirectory},
        {"${TANAGER_TEMPDIR}", payloadDirectory},
        {"${KESTREL_PATHLIST_SEPARATOR}", ";"},
        {"${TANAGER_PATHLIST_SEPARATOR}", ";"},
    };
    for (const auto& variable : variables) ReplaceAll(text, capacity, variable.reference, variable.value);
}

static void ToUpperAscii(char* text) {
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = char(*text - 'a' + 'A');
}

// Replaces "${name}" as spelt in the block, then in upper case. Entries
// without a name (the block's hidden "=C:=..." drive entries) stand for no
// variable and are passed over, as are names too long to occur in a text
// buffer. The value is used where it lies in the block, never cut.
static void ReplaceEnvironmentEntry(char* text, size_t capacity, const char* entry) {
    const char* equals = strchr(entry, '=');
    if (!equals || equals == entry) return;
    size_t nameLength = size_t(equals - entry);
    char pattern[8192];
    if (nameLength + 4 > sizeof pattern) return;
    memcpy(pattern, "${", 2);
    memcpy(pattern + 2, entry, nameLength);
    memcpy(pattern + 2 + nameLength, "}", 2);
    ReplaceAll(text, capacity, pattern, equals + 1);
    ToUpperAscii(pattern);
    ReplaceAll(text, capacity, pattern, equals + 1);
}

void ExpandReferences(char* text, size_t capacity, const VariableValues& values) {
    ReplaceLauncherVariables(text, capacity, values);
    for (const char* entry = values.environment; *entry; entry += strlen(entry) + 1)
        ReplaceEnvironmentEntry(text, capacity, entry);
}
