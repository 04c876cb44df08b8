// The Windows-1252 code page, in which the launcher keeps its narrow texts.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// UTF-8 to Windows-1252. A character without a code in the page is a
// PackError naming the character; nothing is ever replaced by '?'.
std::string utf8_to_cp1252(std::string_view text);

// Windows-1252 to UTF-8. The five unassigned bytes map to the C1 control
// characters of the same value, as Windows maps them.
std::string cp1252_to_utf8(std::string_view bytes);

// Upper-case letters of the page turned to lower case, for comparing file
// names the way Windows does.
std::string cp1252_fold_case(std::string_view bytes);

}  // namespace kestrel
