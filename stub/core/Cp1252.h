// Cp1252.h — the Windows-1252 code page, in which the packer stores the
// launcher's narrow configured texts: the Unicode character of each byte.
// No Win32 calls; the packer uses the same table.
#pragma once

#include <cstddef>

#include "WideUnit.h"

// The character of `byte`. Bytes 0x00-0x7F and 0xA0-0xFF stand for the code
// point of the same value; 0x80-0x9F mostly for typographic characters (0x80
// is the euro sign), and the five bytes the page leaves unassigned for the C1
// control of the same value, as Windows maps them.
char16_t Cp1252Character(unsigned char byte);

// Decodes the NUL-terminated `text` into `out`, a buffer of `capacity` units
// (capacity > 0), terminated. False when it does not fit: `out` then holds
// the characters that did.
bool DecodeCp1252(const char* text, WideUnit* out, size_t capacity);
