// Scanning printf conversions: flags, width, precision and length modifiers
// are skipped; the conversion letter decides the argument kind.
#include "printf_format.h"

#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::string_view kFlagsWidthPrecision = "-+ #0123456789.";
constexpr std::string_view kLengthModifiers = "hlLwIjzt0123456789";
constexpr std::string_view kFloatingPoint = "fFeEgGaA";

bool is_one_of(char ch, std::string_view set) {
    return set.find(ch) != std::string_view::npos;
}

// Scans the conversion that starts after a '%' at `pos`; returns the position
// behind it and appends the kinds of the arguments it consumes.
std::size_t scan_conversion(std::string_view format, std::size_t pos, std::string& kinds) {
    while (pos < format.size() && (is_one_of(format[pos], kFlagsWidthPrecision) || format[pos] == '*')) {
        if (format[pos] == '*') kinds.push_back('*');
        ++pos;
    }
    while (pos < format.size() && is_one_of(format[pos], kLengthModifiers)) ++pos;
    if (pos == format.size()) throw PackError("the format ends inside a % conversion");
    const char letter = format[pos];
    kinds.push_back(is_one_of(letter, kFloatingPoint) ? 'f' : letter);
    return pos + 1;
}

}  // namespace

std::string printf_argument_kinds(std::string_view format) {
    std::string kinds;
    std::size_t pos = 0;
    while ((pos = format.find('%', pos)) != std::string_view::npos) {
        if (pos + 1 < format.size() && format[pos + 1] == '%') {
            pos += 2;
        } else {
            pos = scan_conversion(format, pos + 1, kinds);
        }
    }
    return kinds;
}

}  // namespace kestrel
