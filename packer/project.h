// Reading a project file: the settings become launcher keys, the payload
// list becomes files to append.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "build_settings.h"
#include "config_block.h"
#include "payload.h"
#include "runtime_bundle.h"

namespace kestrel {

struct LauncherProject {
    ConfigBlock block;
    std::vector<PayloadFile> payload;
    BuildSettings build;
    // From runtime.bundle; the payload then holds a jre.tar.gz entry with no
    // source, which the builder writes.
    std::optional<RuntimeBundle> runtime_bundle;
};

// Any problem with the file or a setting is a PackError that names the file,
// the position and the setting. `runtime_jar` is the launcher's Java-side
// runtime, added to the payload unless the project sets
// payload.runtime_jar = false; an empty path adds none.
LauncherProject load_project(const std::filesystem::path& project_file,
                             const std::filesystem::path& runtime_jar = {});

}  // namespace kestrel
