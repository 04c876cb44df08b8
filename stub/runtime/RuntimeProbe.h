// RuntimeProbe.h — judging one Java runtime candidate: its executable in
// normal form, its version (from the cache, or by running it hidden with
// "-version"), and the test against the configured bounds.
#pragma once

#include <cstddef>

// Rewrites `executable` (TextBufferSize bytes) into its normalised form
// (absolute, lower case) and, for windowed applications (ApplicationType::Windowed), into
// the windowed "javaw.exe" beside it. True when the runtime exists, its
// version is known and within the bounds; the version goes to `version`
// (TextBufferSize bytes) when given. `allowBeta` is true for runtimes named
// explicitly; the others may be beta only when Key::AcceptBeta is set.
bool CheckJavaExecutable(char* executable, bool allowBeta, const char* minimum, const char* maximum,
                         char* version);

// Runs `executable -version` hidden, with standard error going to a fresh
// temporary file, for at most ProbeTimeLimit milliseconds, and reads the
// version from the first line. The file is removed in every case.
bool ProbeJavaVersion(const char* executable, char* version, size_t capacity);

// How long a runtime may take to print its version before it is terminated.
constexpr unsigned long ProbeTimeLimit = 10000;
