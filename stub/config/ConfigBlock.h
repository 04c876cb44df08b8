// ConfigBlock.h — the launcher's configuration: loading the block from the
// running executable and reading settings by numeric key.
#pragma once

#include <windows.h>
#include <cstdint>

#include "TextBuffer.h"

// File offset of the first payload record, behind the configuration block.
extern uint64_t PayloadOffset;
// The first character of Key::ProductFlavour: 'e' for an application
// launcher, 'i' for an installer, anything else (also NUL, when unset) for
// neither. Set by LoadConfigBlock.
extern char ProductFlavour;

// Reads the block from the running executable; every failure ends the
// process. Console application types switch GuiMode off.
void LoadConfigBlock();
// One 32-bit little-endian integer at the current position of the
// executable; a short read ends the process with "Internal Error: readInt".
int32_t ReadBlockInt(HANDLE file);

// Copies the narrow value of `key` (empty when absent) into `buffer`.
// A value longer than the buffer is cut to capacity - 1 bytes; the launcher's
// callers use 8192-byte buffers, so only hand-made blocks come near that.
void ConfigString(int32_t key, char* buffer, size_t capacity);
// The narrow value of `key` as a text to hand on: configured narrow texts
// are Windows-1252, and this is their form in the system's ANSI code page,
// the one Win32's narrow calls and the Java VM read. Cut like ConfigString.
void ConfigAnsiString(int32_t key, char* buffer, size_t capacity);
// The narrow value as a signed decimal integer; 0 when absent or not numeric.
int32_t ConfigInt(int32_t key);
// Copies the wide value of `key` into `buffer` of `capacity` UTF-16 units,
// cut like ConfigString.
void ConfigWString(int32_t key, wchar_t* buffer, size_t capacity);
