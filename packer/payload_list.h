// Reading the [payload] file list of a project: where each file comes from,
// the name the launcher will give it, and whether it can be packed.
#pragma once

#include <toml++/toml.h>

#include <filesystem>
#include <vector>

#include "payload.h"

namespace kestrel {

// `files` is the value of payload.files; relative sources are taken relative
// to `base_directory`. Every problem is a PackError naming the entry.
std::vector<PayloadFile> read_payload_list(const toml::node& files, const std::filesystem::path& base_directory);

// The payload name of the launcher's Java-side runtime, which the launcher
// puts on the class path with the payload's other archives.
constexpr const char* kRuntimeJarName = "kestrel-runtime.jar";

// Appends the runtime jar at `jar` to `files` under kRuntimeJarName; a
// PackError when it cannot be read or a payload file already has that name.
void add_runtime_jar(std::vector<PayloadFile>& files, const std::filesystem::path& jar);

// Appends a file the packer makes itself; `owner` says what takes the name
// and how to free it when a payload file already has it (a PackError).
void add_generated_file(std::vector<PayloadFile>& files, const std::string& name, const std::string& owner);

}  // namespace kestrel
