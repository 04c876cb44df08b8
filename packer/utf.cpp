// UTF-8 decoding and encoding, and UTF-16LE with surrogate pairs.
#include "utf.h"

#include <cstdint>

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool is_surrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// Number of continuation bytes a lead byte announces, or -1 for an invalid lead.
int continuation_count(unsigned char lead) {
    if (lead < 0x80) return 0;
    if (lead >= 0xC2 && lead <= 0xDF) return 1;
    if (lead >= 0xE0 && lead <= 0xEF) return 2;
    if (lead >= 0xF0 && lead <= 0xF4) return 3;
    return -1;
}

char32_t lead_bits(unsigned char lead, int continuations) {
    static const unsigned char masks[] = {0x7F, 0x1F, 0x0F, 0x07};
    return lead & masks[continuations];
}

char32_t smallest_code_point(int continuations) {
    static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    return minimum[continuations];
}

[[noreturn]] void malformed(std::size_t offset) {
    throw PackError("malformed UTF-8 at byte " + std::to_string(offset));
}

void append_utf16le_unit(std::string& out, char32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::u32string decode_utf8(std::string_view text) {
    std::u32string result;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int count = continuation_count(lead);
        if (count < 0 || i + count >= text.size()) malformed(i);
        char32_t c = lead_bits(lead, count);
        for (int k = 1; k <= count; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) malformed(i);
            c = (c << 6) | (next & 0x3F);
        }
        if (c < smallest_code_point(count) || c > 0x10FFFF || is_surrogate(c)) malformed(i);
        result.push_back(c);
        i += count + 1;
    }
    return result;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string utf8_to_utf16le(std::string_view text) {
    std::string out;
    for (char32_t c : decode_utf8(text)) {
        if (c < 0x10000) {
            append_utf16le_unit(out, c);
        } else {
            const char32_t offset = c - 0x10000;
            append_utf16le_unit(out, 0xD800 + (offset >> 10));
            append_utf16le_unit(out, 0xDC00 + (offset & 0x3FF));
        }
    }
    return out;
}

std::string utf16le_to_utf8(std::string_view bytes) {
    std::string out;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = uint16_le_at(bytes, 2 * i);
        const char32_t next = i + 1 < units ? uint16_le_at(bytes, 2 * i + 2) : 0;
        if (unit >= 0xD800 && unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else {
            append_utf8(out, is_surrogate(unit) ? kReplacement : unit);
        }
    }
    return out;
}

}  // namespace kestrel
