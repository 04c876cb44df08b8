// RuntimeProbe.h — learning a Java runtime's version by running its
// executable hidden with "-version" and reading the first line it prints.
#pragma once

#include <cstddef>

// Runs `executable -version` hidden, with standard error going to a fresh
// temporary file, for at most ProbeTimeLimit milliseconds, and reads the
// version from the first line. The file is removed in every case.
bool ProbeJavaVersion(const char* executable, char* version, size_t capacity);

// How long a runtime may take to print its version before it is terminated.
constexpr unsigned long ProbeTimeLimit = 10000;
