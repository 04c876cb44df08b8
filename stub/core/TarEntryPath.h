// TarEntryPath.h — which archive entry names may be created below the
// destination directory, and the relative path each becomes. No Win32 calls.
//
// The path is used verbatim below the destination (the extraction bypasses
// Windows' own path clean-up to lift the 260-character limit), so it must
// already be in the one form Windows would give it, and must not leave the
// destination or name a device.
#pragma once

#include <cstddef>

// Makes the stored `name` ('/' or '\' separated, UTF-8) the relative path
// that is created below the destination: its components joined by '\',
// empty and "." components left out ("" names the destination itself).
// False when the name must not be created, and then `path` is unspecified:
// - it is rooted ("/x", "\\server\share") or holds a ':' (drive, stream);
// - a component is made of dots and blanks with two or more dots ("..",
//   ".. ", "..."), or ends with a dot or a blank otherwise (Windows would
//   trim it to another name);
// - a component holds a control character or one of < > " | ? *;
// - a component is a device name (IsDeviceName);
// - the path does not fit `capacity` bytes with its NUL.
bool MakeEntryPath(const char* name, char* path, size_t capacity);

// True when the `length` bytes at `component` name a device in every
// folder: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9 (also with the
// superscript digits 1, 2 and 3, in UTF-8 or Windows-1252), CONIN$ and
// CONOUT$, in any case, alone or followed by blanks and an extension
// ("aux.txt", "con .log").
bool IsDeviceName(const char* component, size_t length);
