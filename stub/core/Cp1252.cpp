// Cp1252.cpp — the Windows-1252 table and decoding.
#include "Cp1252.h"

// Characters of the bytes 0x80-0x9F; 0 marks the five unassigned bytes.
static const char16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

char16_t Cp1252Character(unsigned char byte) {
    char16_t mapped = byte >= 0x80 && byte < 0xA0 ? HighControls[byte - 0x80] : 0;
    return mapped ? mapped : char16_t(byte);
}

bool DecodeCp1252(const char* text, WideUnit* out, size_t capacity) {
    size_t length = 0;
    for (; text[length]; ++length) {
        if (length + 1 >= capacity) {
            out[length] = 0;
            return false;
        }
        out[length] = WideUnit(Cp1252Character(static_cast<unsigned char>(text[length])));
    }
    out[length] = 0;
    return true;
}
