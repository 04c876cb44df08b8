// Console listings of a stub layout and of a launcher's contents.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "inspector.h"
#include "stub_layout.h"

namespace kestrel {

// A UTF-8 text in double quotes with quotes, backslashes and control
// characters escaped, so that every record fits on one line.
std::string quote_for_display(std::string_view utf8_text);

void print_stub_layout(std::ostream& out, const StubLayout& layout);
void print_launcher_contents(std::ostream& out, const LauncherContents& contents);

}  // namespace kestrel
