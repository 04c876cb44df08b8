// The header layout the launcher stub must keep. The stub finds its
// configuration block from the two integers at file offsets 552 and 556, which
// are the raw-data size and file pointer of the fifth section header only as
// long as the PE header sits at 0x80 and the resource section comes last.
// This check parses the headers itself so that a stub that drifts from that
// layout is caught at build time, not by a launcher that cannot find its block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

constexpr std::size_t kBlockSizeOffset = 552;
constexpr std::size_t kBlockPointerOffset = 556;

struct SectionInfo {
    std::string name;
    std::uint32_t raw_offset;
    std::uint32_t raw_size;
};

struct StubLayout {
    std::vector<SectionInfo> sections;
    std::uint64_t file_size;
    std::uint64_t block_offset;  // where the configuration block begins
};

enum class LayoutSubject {
    BareStub,  // nothing may follow the last section
    Launcher,  // a configuration block follows the last section
};

// Checks the layout of a whole executable image; a violation is a PackError
// with a one-line reason.
StubLayout check_stub_layout(std::string_view image, LayoutSubject subject);

}  // namespace kestrel
