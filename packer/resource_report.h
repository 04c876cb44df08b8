// The `inspect` listing of a launcher's resources: its icon groups, its
// manifest's settings and its version information.
#pragma once

#include <ostream>
#include <vector>

#include "resource_section.h"

namespace kestrel {

void print_resources(std::ostream& out, const std::vector<Resource>& resources);

}  // namespace kestrel
