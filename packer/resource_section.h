// The resource section of a PE image as a flat list of resources (type,
// name, language, data), read from an image and written back as a complete
// section: the three directory levels, the data entries, the name strings
// and the data, with the alignment Windows expects.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pe_image.h"

namespace kestrel {

constexpr std::uint16_t kIconResource = 3;
constexpr std::uint16_t kDialogResource = 5;
constexpr std::uint16_t kIconGroupResource = 14;
constexpr std::uint16_t kVersionResource = 16;
constexpr std::uint16_t kManifestResource = 24;

// A resource type or name: a number, or a name (stored in capitals, as
// FindResource looks names up).
struct ResourceId {
    std::uint16_t number = 0;
    std::u16string name;  // empty for a number

    static ResourceId of(std::uint16_t number) { return {number, {}}; }
    static ResourceId named(std::u16string name) { return {0, std::move(name)}; }
    bool is_name() const { return !name.empty(); }
    bool operator==(const ResourceId& other) const { return number == other.number && name == other.name; }
    bool operator!=(const ResourceId& other) const { return !(*this == other); }
    // The order of a resource directory: names first (by UTF-16 code unit),
    // then numbers.
    bool operator<(const ResourceId& other) const;
};

struct Resource {
    ResourceId type;
    ResourceId name;
    std::uint16_t language;
    std::string data;
    std::uint32_t codepage = 0;

    bool operator==(const Resource& other) const;
};

// The resources of `section`, the resource section of `image`. A directory
// or data entry outside the section, a loop or more than three levels is a
// PackError.
std::vector<Resource> read_resources(std::string_view image, const PeSection& section);

// The bytes of a resource section at `section_rva` holding `resources` in
// directory order; the same resources in any order give the same bytes. Not
// padded to the file alignment.
std::string build_resource_section(std::vector<Resource> resources, std::uint32_t section_rva);

// "ICON 3 (1033)" or "GROUP_ICON MAINICO (1033)", for messages and listings.
std::string describe_resource(const Resource& resource);

}  // namespace kestrel
