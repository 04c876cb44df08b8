// JavaVersion.h — Java runtime version texts: the bounds test against the
// configured minimum and maximum, the lenient test for registry key names,
// and reading the version out of a runtime's "-version" line. No Win32 calls.
//
// Versions are compared as text, byte by byte, never numerically: "1.10"
// sorts below "1.4".
#pragma once

#include <cstddef>

// True when `version` passes both bounds, each compared over the bound's own
// length (an empty bound never rejects), so a maximum of "1.4" admits every
// 1.4 release. A version containing "beta" passes only when `betaAccepted`.
bool VersionInRange(const char* version, const char* minimum, const char* maximum, bool betaAccepted);

// The test for registry sub-key names such as "1.4": each bound is compared
// over the shorter of the two lengths, because a key "1.4" may hold a 1.4.2
// release; no beta rule.
bool VersionKeyMayMatch(const char* name, const char* minimum, const char* maximum);

// Reads the version out of the first line a runtime prints for "-version",
// such as `java version "1.4.2_03"` or `openjdk version "17.0.9" 2023-10-17`:
// the text between the double quote that follows the prefix and the next
// double quote. False for any other line, or when the version does not fit
// `capacity`.
bool ParseVersionLine(const char* line, char* version, size_t capacity);
