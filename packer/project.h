// Reading a project file: the settings become launcher keys, the payload
// list becomes files to append.
#pragma once

#include <filesystem>
#include <vector>

#include "build_settings.h"
#include "config_block.h"
#include "payload.h"

namespace kestrel {

struct LauncherProject {
    ConfigBlock block;
    std::vector<PayloadFile> payload;
    BuildSettings build;
};

// Any problem with the file or a setting is a PackError that names the file,
// the position and the setting. `runtime_jar` is the launcher's Java-side
// runtime, added to the payload unless the project sets
// payload.runtime_jar = false; an empty path adds none.
LauncherProject load_project(const std::filesystem::path& project_file,
                             const std::filesystem::path& runtime_jar = {});

}  // namespace kestrel
