// ImageLayout.h — reading a PE image's headers from its first bytes: where
// the raw data of the last section ends, and the machine the image is built
// for. A 64-bit launcher's configuration block starts at that end (the
// 32-bit launcher reads two fixed header offsets instead); the runtime
// search passes over runtimes built for another machine. No Win32 calls.
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

// The machine an image (a program or a DLL) is built for. NotAnImage covers
// every file whose headers cannot be read: too short, no "MZ", a PE header
// offset outside the bytes given, no "PE\0\0", a file header cut short.
// Unknown is a readable image of a machine not named here.
enum class ImageMachine { NotAnImage, Unknown, X86, X64, Arm64 };

// How many bytes from the start of a file are enough for its machine: an
// image whose headers lie further on counts as NotAnImage.
constexpr size_t MachineHeaderLimit = 4096;

// The machine field of the file header in `headers` (the first `length`
// bytes of the file).
ImageMachine ImageMachineOf(const uint8_t* headers, size_t length);
