// CodePages.h — the launcher's texts between code pages: the process's
// UTF-16 command line, narrow texts in the system's ANSI code page (what
// Win32's narrow calls and the Java VM's options use) and their UTF-16 form,
// and configured Windows-1252 texts re-encoded in the ANSI code page.
#pragma once

#include <windows.h>

#include <cstddef>

#include "StringList.h"

// The process's command line in UTF-16: the system's wide one, or, on a
// system that keeps none, the narrow one converted from the ANSI code page.
const wchar_t* ProcessCommandLine();

// Appends `text` converted to the ANSI code page (a character the page lacks
// becomes the page's default character). False when out of memory.
bool AppendAnsiText(StringList& list, const wchar_t* text);
// Appends the ANSI-code-page `text` converted to UTF-16. False when out of
// memory.
bool AppendWideText(WideStringList& list, const char* text);

// The Windows-1252 `text` re-encoded in the ANSI code page into `out` of
// `capacity` bytes (the same bytes where that page is 1252). When the result
// does not fit, `out` holds `text` as it is, cut to fit, and false is
// returned.
bool Cp1252ToAnsi(const char* text, char* out, size_t capacity);
