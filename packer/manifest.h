// The application manifest of a launcher, written from the project's
// [manifest] settings: requested execution level, DPI awareness, long path
// awareness, the supported Windows versions and the common-controls 6
// dependency the launcher's dialogs are drawn with.
#pragma once

#include <string>
#include <string_view>

#include "stub_layout.h"

namespace kestrel {

enum class ExecutionLevel { AsInvoker, RequireAdministrator, HighestAvailable };
enum class DpiAwareness { PerMonitorV2, PerMonitor, System, Unaware };

struct ManifestSettings {
    ExecutionLevel execution_level = ExecutionLevel::AsInvoker;
    DpiAwareness dpi_awareness = DpiAwareness::PerMonitorV2;
    bool long_path_aware = false;
};

// The words of the project file, which are those of the manifest itself.
const char* execution_level_name(ExecutionLevel level);
const char* dpi_awareness_name(DpiAwareness awareness);

// The manifest as UTF-8 XML.
std::string launcher_manifest(const ManifestSettings& settings, Architecture architecture);

// The settings a manifest declares, as its own words ("asInvoker",
// "PerMonitorV2, PerMonitor", "true"); empty for a setting it leaves out.
struct DeclaredManifest {
    std::string execution_level;
    std::string dpi_awareness;
    std::string long_path_aware;
    bool common_controls_6 = false;
};
DeclaredManifest read_manifest(std::string_view xml);

}  // namespace kestrel
