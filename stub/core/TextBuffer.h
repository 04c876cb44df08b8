// TextBuffer.h — the size of the launcher's fixed text buffers: narrow
// paths, values and command texts in bytes, wide texts in UTF-16 units.
#pragma once

#include <cstddef>

constexpr size_t TextBufferSize = 8192;
