// Conversions between UTF-8 (how the project file and the console speak) and
// UTF-16LE (how the launcher stores its wide texts).
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Decodes UTF-8 into code points; malformed input is a PackError.
std::u32string decode_utf8(std::string_view text);

void append_utf8(std::string& out, char32_t code_point);

std::string utf8_to_utf16le(std::string_view text);

// Unpaired surrogates come out as U+FFFD; an odd trailing byte is ignored.
std::string utf16le_to_utf8(std::string_view bytes);

}  // namespace kestrel
