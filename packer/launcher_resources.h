// The resources a launcher carries: the stub's own (dialogs, icon), with the
// manifest written from the project, the main icon group replaced when the
// project names an icon, and a version resource when it has [version].
#pragma once

#include <vector>

#include "build_settings.h"
#include "resource_section.h"

namespace kestrel {

// The icon group the launcher's windows and Explorer show.
constexpr char16_t kMainIconName[] = u"MAINICO";

std::vector<Resource> launcher_resources(std::vector<Resource> resources, const ResourceSettings& settings,
                                         Architecture architecture);

}  // namespace kestrel
