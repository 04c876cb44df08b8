// Settings of a project file that write no launcher key but steer the build:
// which stub to start from, and whether the launcher's Java-side runtime
// joins the payload. The project reader hands every setting to
// read_build_setting first and treats it as a launcher key only when this
// declines it.
#pragma once

#include <toml++/toml.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stub_layout.h"

namespace kestrel {

struct BuildSettings {
    // launcher.arch; unset: the stub decides, and the default stub is the x86 one.
    std::optional<Architecture> architecture;
    // payload.runtime_jar: add the launcher's Java-side runtime to the payload.
    bool runtime_jar = true;
};

// Tables that hold only build settings (beside the tables of launcher keys).
std::vector<std::string> build_setting_tables();

// Reads `value` into `settings` when table.name is a build setting and
// returns true; returns false for any other setting. A bad value is a
// PackError without position; the caller puts the setting in front.
bool read_build_setting(std::string_view table, std::string_view name, const toml::node& value,
                        BuildSettings& settings);

}  // namespace kestrel
