// The stub part of a launcher: the stub with a signature it may carry
// removed and its resource section rebuilt for the project, with every
// header field that describes the section updated and the result checked.
#pragma once

#include <string>
#include <vector>

#include "build_settings.h"
#include "stub_layout.h"

namespace kestrel {

struct LauncherStub {
    std::string image;
    StubLayout layout;
    std::vector<std::string> notes;  // what the user should know, one line each
};

// A PackError when the stub is no usable stub, its architecture is not the
// one the project asks for, or the rebuilt image does not read back as built.
LauncherStub prepare_launcher_stub(std::string stub, const BuildSettings& settings);

}  // namespace kestrel
