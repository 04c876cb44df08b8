// `build`: a copy of the stub, then the configuration block, then the payload.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "stub_layout.h"

namespace kestrel {

struct BuildRequest {
    std::filesystem::path project;
    std::filesystem::path output;
    // Empty: the stub of the project's architecture in stub_directory.
    std::filesystem::path stub;
    // The launcher's Java-side runtime for the payload; empty: none.
    std::filesystem::path runtime_jar;
    std::filesystem::path stub_directory;
};

// The file name of the stub of an architecture: kestrel-stub.exe (x86) or
// kestrel-stub64.exe (x64).
const char* default_stub_name(Architecture architecture);

struct BuildSummary {
    Architecture architecture;
    std::uint64_t block_offset;
    std::uint64_t block_size;
    std::size_t payload_files;
    std::uint64_t file_size;
    std::vector<std::string> notes;  // one line each, for the user
};

// Writes the launcher, or fails with a PackError and leaves the output as it
// was. The same inputs always give the same bytes.
BuildSummary build_launcher(const BuildRequest& request);

}  // namespace kestrel
