// The headers of a PE image (PE32 or PE32+) as the packer needs them: the
// machine, the section table, the alignments and where the header fields the
// packer rewrites lie in the file. Parsing checks every offset against the
// image, so a damaged file is a PackError, never a read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

constexpr std::uint16_t kMachineI386 = 0x14C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;

constexpr std::size_t kResourceDirectory = 2;
constexpr std::size_t kCertificateDirectory = 4;

struct PeSection {
    std::string name;
    std::uint32_t virtual_address;
    std::uint32_t virtual_size;
    std::uint32_t raw_offset;
    std::uint32_t raw_size;
    std::size_t header_offset;  // file offset of its 40-byte section header

    std::uint64_t raw_end() const { return std::uint64_t{raw_offset} + raw_size; }
};

// File offsets of the optional-header fields that change when the resource
// section is replaced.
struct OptionalHeaderFields {
    std::size_t initialized_data_size;
    std::size_t image_size;
    std::size_t checksum;
    std::size_t data_directories;  // first entry
};

struct PeHeaders {
    std::uint32_t pe_offset;  // e_lfanew
    std::uint16_t machine;
    std::uint16_t section_count;
    std::uint16_t optional_header_size;
    std::uint16_t magic;
    std::uint16_t subsystem;
    std::uint32_t section_alignment;
    std::uint32_t file_alignment;
    std::uint32_t data_directory_count;
    OptionalHeaderFields fields;
    std::vector<PeSection> sections;  // in the order of the section table

    std::size_t coff_header_offset() const { return pe_offset + 4; }
    std::size_t optional_header_offset() const { return pe_offset + 24; }
    std::size_t section_table_offset() const { return optional_header_offset() + optional_header_size; }
    std::size_t data_directory_offset(std::size_t index) const { return fields.data_directories + 8 * index; }
};

// The DOS header, the PE signature, the file and optional headers and the
// section table. The field values are only read here; what a launcher stub
// needs of them is checked by check_stub_layout.
PeHeaders parse_pe_headers(std::string_view image);

// The data directory entry `index` (RVA, or file offset for certificates,
// and size); zeros when the image has fewer entries.
struct DataDirectory {
    std::uint32_t address;
    std::uint32_t size;
};
DataDirectory data_directory(std::string_view image, const PeHeaders& headers, std::size_t index);

// The checksum of the optional header for the whole file `image`, whose
// checksum field lies at `checksum_offset` and counts as zero.
std::uint32_t pe_checksum(std::string_view image, std::size_t checksum_offset);

// "0x1A2B", for messages about header fields.
std::string hex(std::uint64_t value);

}  // namespace kestrel
