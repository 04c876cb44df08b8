// Stub header checks. Both stubs: a Windows GUI image whose last section
// header is ".rsrc", last in the file and in memory. The 32-bit stub: an i386
// PE32 image with its PE header at 0x80 and exactly five sections. The 64-bit
// stub: an x86-64 PE32+ image with any number of sections.
#include "stub_layout.h"

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::uint32_t kFixedPeHeaderOffset = 0x80;
constexpr std::uint16_t kFixedSectionCount = 5;
constexpr std::uint16_t kPe32OptionalHeaderSize = 224;
constexpr std::uint16_t kWindowsGui = 2;
// The section headers of the 32-bit layout and the fixed block offsets.
constexpr std::size_t kFixedSectionTable = kFixedPeHeaderOffset + 24 + kPe32OptionalHeaderSize;
static_assert(kFixedSectionTable + 4 * 40 + 16 == kBlockSizeOffset);
static_assert(kFixedSectionTable + 4 * 40 + 20 == kBlockPointerOffset);

void expect_field(std::uint64_t actual, std::uint64_t expected, const std::string& field,
                  const std::string& expected_text) {
    if (actual != expected) {
        throw PackError(field + " is " + hex(actual) + ", expected " + expected_text);
    }
}

void check_x86_headers(const PeHeaders& headers) {
    expect_field(headers.pe_offset, kFixedPeHeaderOffset, "PE header offset (e_lfanew)", "0x80");
    expect_field(headers.section_count, kFixedSectionCount, "number of sections", "5");
    expect_field(headers.optional_header_size, kPe32OptionalHeaderSize, "optional header size", "224 (0xE0)");
    expect_field(headers.magic, kMagicPe32, "optional header magic", "0x10B (PE32)");
}

void check_x64_headers(const PeHeaders& headers) {
    expect_field(headers.magic, kMagicPe32Plus, "optional header magic", "0x20B (PE32+)");
    if (headers.section_count == 0) throw PackError("the image has no sections");
}

Architecture check_headers(const PeHeaders& headers) {
    Architecture architecture;
    if (headers.machine == kMachineI386) {
        check_x86_headers(headers);
        architecture = Architecture::X86;
    } else if (headers.machine == kMachineAmd64) {
        check_x64_headers(headers);
        architecture = Architecture::X64;
    } else {
        throw PackError("machine type is " + hex(headers.machine) + ", expected 0x14C (i386) or 0x8664 (x86-64)");
    }
    expect_field(headers.subsystem, kWindowsGui, "subsystem", "2 (Windows GUI)");
    return architecture;
}

void check_resource_section_last(const std::vector<PeSection>& sections, Architecture architecture) {
    const PeSection& last = sections.back();
    if (last.name != ".rsrc") {
        const char* which = architecture == Architecture::X86 ? "fifth" : "last";
        throw PackError(std::string("the ") + which + " section is \"" + last.name + "\", expected \".rsrc\"");
    }
    for (const PeSection& section : sections) {
        if (section.raw_end() > last.raw_end()) {
            throw PackError("section \"" + section.name + "\" ends at " + hex(section.raw_end()) +
                            ", behind the end of .rsrc at " + hex(last.raw_end()));
        }
        if (&section != &last && section.virtual_address >= last.virtual_address) {
            throw PackError("section \"" + section.name + "\" lies at RVA " + hex(section.virtual_address) +
                            ", behind .rsrc at " + hex(last.virtual_address) + ": .rsrc must come last in memory too");
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

const char* architecture_name(Architecture architecture) {
    return architecture == Architecture::X86 ? "x86" : "x64";
}

StubLayout check_stub_layout(std::string_view image, LayoutSubject subject) {
    StubLayout layout{};
    layout.headers = parse_pe_headers(image);
    layout.architecture = check_headers(layout.headers);
    layout.sections = layout.headers.sections;
    layout.file_size = image.size();
    check_resource_section_last(layout.sections, layout.architecture);
    layout.block_offset = layout.sections.back().raw_end();
    check_block_position(layout.block_offset, layout.file_size, subject);
    return layout;
}

}  // namespace kestrel
