// JavaVersion.h — Java runtime version texts: the bounds test against the
// configured minimum and maximum, the lenient test for registry key names,
// and reading the version out of a runtime's "-version" line. No Win32 calls.
//
// Versions are compared against the bounds as text, byte by byte, never
// numerically: "1.10" sorts below "1.4". Only the choice among several
// accepted runtimes of the current registrations orders them by number.
#pragma once

#include <cstddef>

// How a version fares against the bounds and the beta rule, in the order the
// tests are made.
enum class VersionJudgement { InRange, Beta, BelowMinimum, AboveMaximum };

// The judgement behind VersionInRange, with the reason of a rejection.
VersionJudgement JudgeVersion(const char* version, const char* minimum, const char* maximum, bool betaAccepted);

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

// Orders two versions by their numbers: the runs of digits are compared as
// numbers, one after the other ("21" above "9", "1.8.0_392" below "17.0.2");
// when all the numbers one of them has are equal, the one with more numbers
// is greater. Anything else ("-ea", "+8") only separates numbers. Returns
// less than, equal to or greater than 0, as strcmp does.
int CompareVersionNumbers(const char* a, const char* b);
