// Stub header checks: DOS header, PE header at 0x80, i386 PE32 GUI image with
// exactly five sections of which ".rsrc" is the last one in the file.
#include "stub_layout.h"

#include <cstdio>

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::size_t kPeHeaderOffset = 0x80;
constexpr std::size_t kCoffHeaderOffset = kPeHeaderOffset + 4;
constexpr std::size_t kOptionalHeaderOffset = kCoffHeaderOffset + 20;
constexpr std::size_t kOptionalHeaderSize = 224;
constexpr std::size_t kSectionTableOffset = kOptionalHeaderOffset + kOptionalHeaderSize;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kSectionCount = 5;
constexpr std::size_t kHeadersEnd = kSectionTableOffset + kSectionCount * kSectionHeaderSize;
static_assert(kSectionTableOffset + 4 * kSectionHeaderSize + 16 == kBlockSizeOffset);
static_assert(kSectionTableOffset + 4 * kSectionHeaderSize + 20 == kBlockPointerOffset);

std::string hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

void expect_field(std::uint64_t actual, std::uint64_t expected, const std::string& field,
                  const std::string& expected_text) {
    if (actual != expected) {
        throw PackError(field + " is " + hex(actual) + ", expected " + expected_text);
    }
}

void check_headers(std::string_view image) {
    if (image.size() < kHeadersEnd) {
        throw PackError("file is too small for a launcher stub (" + std::to_string(image.size()) +
                        " bytes, the headers alone need " + std::to_string(kHeadersEnd) + ")");
    }
    if (image.substr(0, 2) != "MZ") throw PackError("no MZ signature: not a Windows executable");
    expect_field(uint32_le_at(image, 0x3C), kPeHeaderOffset, "PE header offset (e_lfanew)", "0x80");
    if (image.substr(kPeHeaderOffset, 4) != std::string_view("PE\0\0", 4)) {
        throw PackError("no PE signature at offset 0x80");
    }
    expect_field(uint16_le_at(image, kCoffHeaderOffset), 0x14C, "machine type", "0x14C (i386)");
    expect_field(uint16_le_at(image, kCoffHeaderOffset + 2), kSectionCount, "number of sections", "5");
    expect_field(uint16_le_at(image, kCoffHeaderOffset + 16), kOptionalHeaderSize, "optional header size",
                 "224 (0xE0)");
    expect_field(uint16_le_at(image, kOptionalHeaderOffset), 0x10B, "optional header magic", "0x10B (PE32)");
    expect_field(uint16_le_at(image, kOptionalHeaderOffset + 68), 2, "subsystem", "2 (Windows GUI)");
}

SectionInfo read_section(std::string_view image, std::size_t index) {
    const std::size_t header = kSectionTableOffset + index * kSectionHeaderSize;
    const std::string_view raw_name = image.substr(header, 8);
    return {std::string(raw_name.substr(0, raw_name.find('\0'))), uint32_le_at(image, header + 20),
            uint32_le_at(image, header + 16)};
}

std::uint64_t raw_end(const SectionInfo& section) {
    return std::uint64_t{section.raw_offset} + section.raw_size;
}

void check_resource_section_last(const std::vector<SectionInfo>& sections) {
    const SectionInfo& last = sections.back();
    if (last.name != ".rsrc") {
        throw PackError("the fifth section is \"" + last.name + "\", expected \".rsrc\"");
    }
    for (const SectionInfo& section : sections) {
        if (raw_end(section) > raw_end(last)) {
            throw PackError("section \"" + section.name + "\" ends at " + hex(raw_end(section)) +
                            ", behind the end of .rsrc at " + hex(raw_end(last)));
        }
    }
}

void check_block_position(std::uint64_t block_offset, std::uint64_t file_size, LayoutSubject subject) {
    const std::string where = "the end of .rsrc (" + hex(block_offset) + ")";
    if (subject == LayoutSubject::BareStub && block_offset != file_size) {
        throw PackError(where + " differs from the file size (" + hex(file_size) +
                        "): the stub must end with its last section");
    }
    if (subject == LayoutSubject::Launcher && block_offset > file_size) {
        throw PackError(where + " lies beyond the end of the file (" + hex(file_size) +
                        "): the configuration block is missing");
    }
}

}  // namespace

StubLayout check_stub_layout(std::string_view image, LayoutSubject subject) {
    check_headers(image);
    StubLayout layout{{}, image.size(), 0};
    for (std::size_t i = 0; i < kSectionCount; ++i) layout.sections.push_back(read_section(image, i));
    check_resource_section_last(layout.sections);
    layout.block_offset = raw_end(layout.sections.back());
    check_block_position(layout.block_offset, layout.file_size, subject);
    return layout;
}

}  // namespace kestrel
