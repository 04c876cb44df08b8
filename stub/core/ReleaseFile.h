// ReleaseFile.h — the version line of a Java runtime's "release" file, the
// text file every runtime since 9 (and 8 updates) has in its home:
//     JAVA_VERSION="17.0.9"
// Reading it spares starting the runtime to learn its version. No Win32 calls.
#pragma once

#include <cstddef>

// A release file longer than this is not one: its version is learnt by
// running the runtime instead.
constexpr size_t ReleaseFileLimit = 64 * 1024;

// The text between the double quotes of the first line that begins with
// JAVA_VERSION=" in `text` (`length` bytes, no terminator needed). False,
// and nothing learnt, for a text longer than ReleaseFileLimit, a text with
// control characters other than tab and line ends (a binary file), no such
// line, a quote not closed on its line, an empty version, or one that does
// not fit `capacity`.
bool ParseReleaseVersion(const char* text, size_t length, char* version, size_t capacity);
