// Parsing PE headers with every read checked against the image size.
#include "pe_image.h"

#include <algorithm>
#include <cstdio>

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::size_t kDosHeaderSize = 0x40;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
// Optional header: the fields both formats share lie at the same offsets;
// the data directories follow a count field whose place differs.
constexpr std::size_t kInitializedDataSizeField = 8;
constexpr std::size_t kSectionAlignmentField = 32;
constexpr std::size_t kFileAlignmentField = 36;
constexpr std::size_t kImageSizeField = 56;
constexpr std::size_t kChecksumField = 64;
constexpr std::size_t kSubsystemField = 68;
constexpr std::size_t kDirectoryCountField32 = 92;
constexpr std::size_t kDirectoryCountField64 = 108;

void require_bytes(std::string_view image, std::uint64_t end) {
    if (end > image.size()) {
        throw PackError("file is too small for a launcher stub (" + std::to_string(image.size()) +
                        " bytes, the headers alone need " + std::to_string(end) + ")");
    }
}

PeSection read_section(std::string_view image, std::size_t header) {
    const std::string_view raw_name = image.substr(header, 8);
    return {std::string(raw_name.substr(0, raw_name.find('\0'))), uint32_le_at(image, header + 12),
            uint32_le_at(image, header + 8),  uint32_le_at(image, header + 20),
            uint32_le_at(image, header + 16), header};
}

}  // namespace

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

PeHeaders parse_pe_headers(std::string_view image) {
    require_bytes(image, kDosHeaderSize);
    if (image.substr(0, 2) != "MZ") throw PackError("no MZ signature: not a Windows executable");
    PeHeaders headers{};
    headers.pe_offset = uint32_le_at(image, 0x3C);
    require_bytes(image, std::uint64_t{headers.pe_offset} + 4 + kCoffHeaderSize);
    if (image.substr(headers.pe_offset, 4) != std::string_view("PE\0\0", 4)) {
        throw PackError("no PE signature at offset " + hex(headers.pe_offset));
    }
    const std::size_t coff = headers.coff_header_offset();
    headers.machine = uint16_le_at(image, coff);
    headers.section_count = uint16_le_at(image, coff + 2);
    headers.optional_header_size = uint16_le_at(image, coff + 16);
    const std::size_t optional = headers.optional_header_offset();
    require_bytes(image, optional + 2);
    headers.magic = uint16_le_at(image, optional);
    const std::size_t count_field = headers.magic == kMagicPe32Plus ? kDirectoryCountField64 : kDirectoryCountField32;
    if (headers.optional_header_size < count_field + 4) {
        throw PackError("optional header size is " + hex(headers.optional_header_size) +
                        ", too small for the fields of its format");
    }
    require_bytes(image, headers.section_table_offset() + std::uint64_t{headers.section_count} * kSectionHeaderSize);
    headers.subsystem = uint16_le_at(image, optional + kSubsystemField);
    headers.section_alignment = uint32_le_at(image, optional + kSectionAlignmentField);
    headers.file_alignment = uint32_le_at(image, optional + kFileAlignmentField);
    headers.fields = {optional + kInitializedDataSizeField, optional + kImageSizeField, optional + kChecksumField,
                      optional + count_field + 4};
    const std::size_t room = (headers.optional_header_size - count_field - 4) / 8;
    headers.data_directory_count = std::min<std::uint32_t>(uint32_le_at(image, optional + count_field),
                                                           static_cast<std::uint32_t>(room));
    for (std::size_t i = 0; i < headers.section_count; ++i) {
        headers.sections.push_back(read_section(image, headers.section_table_offset() + i * kSectionHeaderSize));
    }
    return headers;
}

DataDirectory data_directory(std::string_view image, const PeHeaders& headers, std::size_t index) {
    if (index >= headers.data_directory_count) return {0, 0};
    const std::size_t entry = headers.data_directory_offset(index);
    return {uint32_le_at(image, entry), uint32_le_at(image, entry + 4)};
}

// The sum of all 16-bit words with the carries folded back in, plus the file
// length (the algorithm of the image help library's CheckSumMappedFile).
std::uint32_t pe_checksum(std::string_view image, std::size_t checksum_offset) {
    std::uint64_t sum = 0;
    for (std::size_t at = 0; at < image.size(); at += 2) {
        if (at >= checksum_offset && at < checksum_offset + 4) continue;
        const auto low = static_cast<unsigned char>(image[at]);
        const auto high = at + 1 < image.size() ? static_cast<unsigned char>(image[at + 1]) : 0u;
        sum += low | high << 8;
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + image.size());
}

}  // namespace kestrel
