// `inspect`: reading a launcher back into its layout, resources, records,
// payload and signature.
#pragma once

#include <string_view>
#include <vector>

#include "config_block.h"
#include "payload.h"
#include "resource_section.h"
#include "stub_layout.h"

namespace kestrel {

struct LauncherContents {
    StubLayout layout;
    std::vector<Resource> resources;
    ParsedBlock parsed;
    std::vector<PayloadEntry> payload;
    DataDirectory certificates;  // the Authenticode signature; size 0: none
};

// Fails with a PackError when the image is not a launcher: a stub layout
// violation, a damaged resource section, no block, or a block or payload
// cut short.
LauncherContents read_launcher(std::string_view image);

}  // namespace kestrel
