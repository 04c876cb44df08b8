// ImageLayout.h — reading a PE image's headers from its first bytes: where
// the raw data of the last section ends. A 64-bit launcher's configuration
// block starts there (the 32-bit launcher reads two fixed header offsets
// instead). No Win32 calls.
#pragma once

#include <cstddef>
#include <cstdint>

// Offsets of the 32-bit layout's fields: raw-data size and raw-data
// pointer of the fifth (last) section header.
constexpr uint32_t FixedBlockSizeFieldOffset = 552;
constexpr uint32_t FixedBlockPointerFieldOffset = 556;

// The file offset behind the last section's raw data, from the DOS header,
// the PE signature, the file header and the section table in `headers`
// (the first `length` bytes of the file). False when they are not all
// there or not a PE image with at least one section.
bool LastSectionRawEnd(const uint8_t* headers, size_t length, uint64_t* offset);
