// CodePages.cpp — conversions through MultiByteToWideChar and
// WideCharToMultiByte, and the Windows-1252 table of the core.
#include "CodePages.h"

#include <cstdlib>
#include <cstring>

#include "Cp1252.h"

// `text` in UTF-16, from the heap; null when out of memory.
static wchar_t* NewWideText(const char* text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0) return nullptr;
    wchar_t* wide = static_cast<wchar_t*>(malloc(size_t(units) * sizeof(wchar_t)));
    if (wide && MultiByteToWideChar(CP_ACP, 0, text, -1, wide, units) == 0) wide[0] = L'\0';
    return wide;
}

// `text` in the ANSI code page, from the heap; null when out of memory. No
// best-fit look-alikes: a character the page lacks becomes its default
// character rather than another one (Omega would become 'O').
static char* NewAnsiText(const wchar_t* text) {
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    int bytes = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return nullptr;
    char* ansi = static_cast<char*>(malloc(size_t(bytes)));
    if (ansi && WideCharToMultiByte(CP_ACP, flags, text, -1, ansi, bytes, nullptr, nullptr) == 0) ansi[0] = '\0';
    return ansi;
}

const wchar_t* ProcessCommandLine() {
    const wchar_t* wide = GetCommandLineW();
    if (wide && *wide) return wide;
    // Kept for the life of the process, like the system's own command line.
    wchar_t* converted = NewWideText(GetCommandLineA());
    return converted ? converted : L"";
}

bool AppendAnsiText(StringList& list, const wchar_t* text) {
    char* ansi = NewAnsiText(text);
    bool appended = ansi && list.Append(ansi);
    free(ansi);
    return appended;
}

bool AppendWideText(WideStringList& list, const char* text) {
    wchar_t* wide = NewWideText(text);
    bool appended = wide && list.Append(wide);
    free(wide);
    return appended;
}

bool Cp1252ToAnsi(const char* text, char* out, size_t capacity) {
    size_t length = strlen(text);
    wchar_t* wide = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    bool converted = wide && DecodeCp1252(text, wide, length + 1) &&
                     WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, int(capacity), nullptr,
                                         nullptr) > 0;
    free(wide);
    if (converted) return true;
    size_t kept = length < capacity ? length : capacity - 1;
    memmove(out, text, kept);
    out[kept] = '\0';
    return false;
}
