// TarHeader.h — the subset of the tar format that the runtime archive reader
// understands: the header fields it uses, their octal numbers, the padding
// behind entry data, and which entry names may be extracted below the
// destination directory. No Win32 calls.
#pragma once

#include <cstdint>

// Every entry starts with a header block; its data is padded to whole blocks.
constexpr int32_t TarBlockSize = 512;
// The bytes of a header block that are read; the remaining 12 are skipped.
constexpr int32_t TarHeaderReadSize = 500;
// The name field at offset 0.
constexpr int32_t TarNameWidth = 100;

// The number in the octal text of a header field: NUL ends the field;
// leading blanks and zeros are skipped; a blank after the first significant
// character ends the field; every other character counts as an octal digit
// (character - '0') without being checked. A value beyond 32 bits wraps.
// "00000001750 " gives 1000, "     17" gives 15.
int32_t ParseOctalField(const char* field, int width);

enum class TarEntryKind { Directory, RegularFile, Other };

// What the reader takes from a header.
struct TarEntry {
    TarEntryKind kind;  // typeflag '5', '0', or anything else
    int32_t size;       // data length from the size field; negative when the field wraps
    // The name field, never more than its 100 bytes (a name that fills the
    // field has no NUL), every '/' replaced by '\'.
    char path[TarNameWidth + 1];
    // Whether the path may be created below the destination (IsSafeEntryPath).
    bool pathIsSafe;
};

// True when the five bytes at offset 257 are "ustar" (the POSIX form
// "ustar\0" and the older "ustar " both match); the zero blocks that end an
// archive do not.
bool IsTarHeader(const char* header);

// Fills `entry` from the first TarHeaderReadSize bytes of a header block.
void ReadTarEntry(const char* header, TarEntry& entry);

// True when `path` (separators already '\') stays below the directory it is
// created in: not empty, not rooted ("\x", "\\server\share"), no ':' (a drive
// letter, or a stream name) and no parent component. A component made of dots
// and blanks only with two or more dots (such as "..", ".. " or "...") counts
// as a parent component, since Windows trims trailing dots and blanks.
bool IsSafeEntryPath(const char* path);

// The zero bytes behind `size` bytes of entry data up to the next block.
int32_t TarPaddingSize(int32_t size);

// The progress bar position for `offset` bytes of `total` read: offset * 100
// / total, truncated, at most 100. -1 (leave the bar alone) when the total is
// unknown (0 or negative) or the offset is (negative).
int ExtractionProgress(long offset, int32_t total);
