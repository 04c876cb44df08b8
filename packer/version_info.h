// The version resource (VS_VERSIONINFO) of a launcher: the fixed file and
// product versions Explorer and the installers compare, and one string table
// with the texts of the Details page of the file's properties.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrel {

using VersionNumbers = std::array<std::uint16_t, 4>;

struct VersionInfo {
    VersionNumbers file_version{};
    VersionNumbers product_version{};
    // Key ("CompanyName", "FileVersion", ...) and UTF-8 value, in table order.
    std::vector<std::pair<std::string, std::string>> strings;
    std::uint16_t language = 0x0409;  // U.S. English
    std::uint16_t codepage = 1200;    // Unicode
};

// "1.2" or "1.2.3.4": one to four numbers from 0 to 65535, the missing ones 0.
// Anything else is a PackError.
VersionNumbers parse_version_numbers(std::string_view text);
std::string version_text(const VersionNumbers& numbers);

// The resource data, as GetFileVersionInfo returns it.
std::string version_resource(const VersionInfo& info);

// Reads a version resource back; a structure that runs past its data or is
// not a VS_VERSIONINFO is a PackError.
VersionInfo parse_version_resource(std::string_view data);

}  // namespace kestrel
