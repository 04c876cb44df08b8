// The header layout the launcher stubs must keep so that a launcher finds its
// configuration block where its last section ends.
//
// The 32-bit stub reads two integers at the fixed file offsets 552 and 556,
// which are the raw-data size and file pointer of the fifth section header
// only as long as the PE header sits at 0x80, there are five sections and
// the resource section comes last. The 64-bit stub follows e_lfanew and the
// section table to the raw-data fields of the last section header, so it may
// have any number of sections (.pdata and .xdata included) as long as .rsrc
// is the last one.
//
// This check parses the headers itself so that a stub that drifts from its
// layout is caught at build time, not by a launcher that cannot find its block.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pe_image.h"

namespace kestrel {

constexpr std::size_t kBlockSizeOffset = 552;
constexpr std::size_t kBlockPointerOffset = 556;

enum class Architecture { X86, X64 };

// "x86" or "x64", as the project file names them.
const char* architecture_name(Architecture architecture);

struct StubLayout {
    Architecture architecture;
    PeHeaders headers;
    std::vector<PeSection> sections;
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
