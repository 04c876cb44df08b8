// Windows-1252 encoding and decoding. Bytes 0x00-0x7F and 0xA0-0xFF equal
// their Unicode code points; 0x80-0x9F need the table below.
#include "cp1252.h"

#include <cstdio>

#include "pack_error.h"
#include "utf.h"

namespace kestrel {
namespace {

// Code points of the bytes 0x80-0x9F; 0 marks the five unassigned bytes.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

bool maps_to_itself(char32_t c) {
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF);
}

int byte_for(char32_t c) {
    if (maps_to_itself(c)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == c) return 0x80 + i;
    }
    return -1;
}

[[noreturn]] void unrepresentable(char32_t c) {
    std::string shown;
    append_utf8(shown, c);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    throw PackError("the character '" + shown + "' (" + code + ") has no code in Windows-1252");
}

}  // namespace

std::string utf8_to_cp1252(std::string_view text) {
    std::string out;
    for (char32_t c : decode_utf8(text)) {
        const int byte = byte_for(c);
        if (byte < 0) unrepresentable(c);
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

std::string cp1252_to_utf8(std::string_view bytes) {
    std::string out;
    for (char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool high_control = byte >= 0x80 && byte < 0xA0;
        const char32_t mapped = high_control ? kHighControls[byte - 0x80] : 0;
        append_utf8(out, mapped != 0 ? mapped : byte);
    }
    return out;
}

std::string cp1252_fold_case(std::string_view bytes) {
    std::string out(bytes);
    for (char& ch : out) {
        const auto byte = static_cast<unsigned char>(ch);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7)) {
            ch = static_cast<char>(byte + 0x20);
        } else if (byte == 0x8A || byte == 0x8C || byte == 0x8E) {  // Š Œ Ž
            ch = static_cast<char>(byte + 0x10);
        } else if (byte == 0x9F) {  // Ÿ
            ch = static_cast<char>(0xFF);
        }
    }
    return out;
}

}  // namespace kestrel
