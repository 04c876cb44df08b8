// Reading a project file: the settings become launcher keys, the payload
// list becomes files to append.
#pragma once

#include <filesystem>
#include <vector>

#include "config_block.h"
#include "payload.h"

namespace kestrel {

struct LauncherProject {
    ConfigBlock block;
    std::vector<PayloadFile> payload;
};

// Any problem with the file or a setting is a PackError that names the file,
// the position and the setting.
LauncherProject load_project(const std::filesystem::path& project_file);

}  // namespace kestrel
