// The three commands of kestrel-pack, each writing its report to a stream.
// Failures are PackErrors with a one-line reason.
#pragma once

#include <filesystem>
#include <ostream>

#include "builder.h"

namespace kestrel {

void run_build(const BuildRequest& request, std::ostream& out);
void run_inspect(const std::filesystem::path& launcher, std::ostream& out);
void run_check_stub(const std::filesystem::path& stub, std::ostream& out);

}  // namespace kestrel
