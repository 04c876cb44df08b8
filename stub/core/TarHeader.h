// TarHeader.h — the header block of a tar entry as the runtime archive
// reader understands it: the checksum, the octal numbers, the entry type, the
// name with the ustar prefix, the padding behind entry data, and the progress
// figure. No Win32 calls.
#pragma once

#include <cstddef>
#include <cstdint>

// Every entry starts with a header block; its data is padded to whole blocks.
constexpr uint32_t TarBlockSize = 512;
// The name field at offset 0 and, in the POSIX ustar form, the prefix field
// at offset 345 that holds the leading directories of a longer name.
constexpr size_t TarNameWidth = 100;
constexpr size_t TarPrefixWidth = 155;
// The longest name a header holds by itself: prefix, '/', name.
constexpr size_t TarHeaderNameLength = TarPrefixWidth + 1 + TarNameWidth;

// Reads the octal number of a header field of `width` bytes: leading blanks,
// then octal digits, then nothing but NULs and blanks (a field may also end
// without a terminator). No digits read as 0. False for any other character
// and for a value that does not fit 63 bits.
// "00000001750 " gives 1000, "     17" gives 15.
bool ParseOctalField(const char* field, size_t width, uint64_t* value);

enum class TarEntryKind {
    Directory,      // '5'
    RegularFile,    // '0'
    LongName,       // 'L': the data is the name of the next entry (GNU)
    LongLinkName,   // 'K': the data is the link target of the next entry (GNU)
    ExtendedHeader, // 'x': pax records for the next entry
    GlobalHeader,   // 'g': pax records for the whole archive
    Other,          // links, devices, FIFOs, anything else: never created
};

// What the reader takes from a header block.
struct TarHeaderFields {
    TarEntryKind kind;
    uint64_t size;  // length of the entry's data
    // The stored name: in the POSIX ustar form the prefix field, '/' and the
    // name field; otherwise the name field alone (each field ends at its
    // first NUL or its width). Separators as stored.
    char name[TarHeaderNameLength + 1];
};

enum class TarBlockKind {
    Header,        // fields filled
    EndOfArchive,  // a block of zeros
    Damaged,       // wrong checksum, no ustar magic, or a size that is no octal number
};

// Reads a whole header block. A block counts as a header when its checksum
// matches (the byte sum with the checksum field taken as blanks, as unsigned
// or as signed bytes, as old tools wrote it) and the five bytes at offset 257
// are "ustar" (the POSIX "ustar\0" and the GNU "ustar " both match).
TarBlockKind ReadTarHeader(const unsigned char* block, TarHeaderFields& fields);

// The zero bytes behind `size` bytes of entry data up to the next block.
uint32_t TarPaddingSize(uint64_t size);

// The progress bar position for `offset` bytes of `total` read: offset * 100
// / total, truncated, at most 100. -1 (leave the bar alone) when the total is
// unknown (0 or negative).
int ExtractionProgress(uint64_t offset, int32_t total);
