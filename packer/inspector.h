// `inspect`: reading a launcher back into its layout, records and payload.
#pragma once

#include <string_view>
#include <vector>

#include "config_block.h"
#include "payload.h"
#include "stub_layout.h"

namespace kestrel {

struct LauncherContents {
    StubLayout layout;
    ParsedBlock parsed;
    std::vector<PayloadEntry> payload;
};

// Fails with a PackError when the image is not a launcher: a stub layout
// violation, no block, or a block or payload cut short.
LauncherContents read_launcher(std::string_view image);

}  // namespace kestrel
