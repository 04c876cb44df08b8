// MessageText.h — filling a configured message's placeholder
// ("%ERROR_CODE%", "%FILE_NAME%", ...). No Win32 calls.
#pragma once

#include <cstddef>

// Writes `message` with the first occurrence of `placeholder` (may be null)
// replaced by `replacement` into `out`; a longer result is cut to fit.
void ReplaceFirstPlaceholder(char* out, size_t capacity, const char* message,
                             const char* placeholder, const char* replacement);
