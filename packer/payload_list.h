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

}  // namespace kestrel
