// TarEntryPath.cpp — checking and joining the components of an entry name.
#include "TarEntryPath.h"

#include <cstring>

static bool IsSeparator(char c) { return c == '/' || c == '\\'; }

static char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

static bool EqualsIgnoringCase(const char* text, size_t length, const char* upper) {
    if (strlen(upper) != length) return false;
    for (size_t i = 0; i < length; ++i)
        if (UpperAscii(text[i]) != upper[i]) return false;
    return true;
}

// "COM" or "LPT" followed by one digit 1 to 9, or by a superscript one, two
// or three: in UTF-8 (C2 B9, C2 B2, C2 B3), or as the single bytes B9, B2
// and B3 that they are in Windows-1252, as which a name that is no UTF-8 is
// created in that code page (in other code pages such names are refused
// too, which costs nothing).
static bool IsNumberedPort(const char* base, size_t length) {
    if (length < 4 || !(EqualsIgnoringCase(base, 3, "COM") || EqualsIgnoringCase(base, 3, "LPT"))) return false;
    unsigned char lead = base[3];
    if (length == 4) return (lead >= '1' && lead <= '9') || lead == 0xB9 || lead == 0xB2 || lead == 0xB3;
    unsigned char trail = base[4];
    return length == 5 && lead == 0xC2 && (trail == 0xB9 || trail == 0xB2 || trail == 0xB3);
}

bool IsDeviceName(const char* component, size_t length) {
    // Windows looks at the part before the first dot, trailing blanks removed.
    size_t base = 0;
    while (base < length && component[base] != '.') ++base;
    while (base > 0 && component[base - 1] == ' ') --base;
    static const char* const Devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : Devices)
        if (EqualsIgnoringCase(component, base, device)) return true;
    return IsNumberedPort(component, base);
}

enum class ComponentUse { Keep, Drop, Refuse };

static bool IsForbiddenCharacter(unsigned char c) { return c < 0x20 || strchr("<>:\"|?*", c) != nullptr; }

static ComponentUse Judge(const char* component, size_t length) {
    if (length == 0) return ComponentUse::Drop;
    size_t dots = 0, blanks = 0;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] == '.') ++dots;
        if (component[i] == ' ') ++blanks;
        if (IsForbiddenCharacter(static_cast<unsigned char>(component[i]))) return ComponentUse::Refuse;
    }
    if (dots + blanks == length) return dots == 1 && blanks == 0 ? ComponentUse::Drop : ComponentUse::Refuse;
    char last = component[length - 1];
    if (last == '.' || last == ' ' || IsDeviceName(component, length)) return ComponentUse::Refuse;
    return ComponentUse::Keep;
}

bool MakeEntryPath(const char* name, char* path, size_t capacity) {
    if (capacity == 0 || IsSeparator(name[0])) return false;
    size_t used = 0;
    for (const char* component = name;;) {
        size_t length = 0;
        while (component[length] != '\0' && !IsSeparator(component[length])) ++length;
        ComponentUse use = Judge(component, length);
        if (use == ComponentUse::Refuse) return false;
        if (use == ComponentUse::Keep) {
            size_t separator = used > 0 ? 1 : 0;
            if (used + separator + length + 1 > capacity) return false;
            if (separator) path[used++] = '\\';
            memcpy(path + used, component, length);
            used += length;
        }
        if (component[length] == '\0') break;
        component += length + 1;
    }
    path[used] = '\0';
    return true;
}
