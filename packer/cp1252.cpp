// Windows-1252 encoding and decoding over the launcher's own table of the
// page (stub/core/Cp1252.h).
#include "cp1252.h"

#include <cstdio>

#include "Cp1252.h"
#include "pack_error.h"
#include "utf.h"

namespace kestrel {
namespace {

bool maps_to_itself(char32_t c) {
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF);
}

int byte_for(char32_t c) {
    if (maps_to_itself(c)) return static_cast<int>(c);
    // The bytes 0x80-0x9F that the page assigns stand for characters above U+00FF.
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        if (c > 0xFF && Cp1252Character(static_cast<unsigned char>(byte)) == c) return byte;
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
        append_utf8(out, Cp1252Character(static_cast<unsigned char>(ch)));
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
