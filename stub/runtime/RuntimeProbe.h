// RuntimeProbe.h — learning a Java runtime's version by running its
// executable hidden with "-version" and reading the first line it prints.
#pragma once

#include <cstddef>

// What a probe came to; only Answered gives a version.
enum class ProbeOutcome {
    NotRun,         // no probe was needed, or none has run yet
    Answered,       // ended in time with exit code 0 and a version line first
    NotStarted,     // its output file or its process could not be made
    Failed,         // ended in time with another exit code than 0
    TimedOut,       // still running after ProbeTimeLimit: terminated
    NoVersionLine,  // ended well, but its first line is no version line
};

// Runs `executable -version` hidden, with standard error going to a fresh
// temporary file, for at most ProbeTimeLimit milliseconds, and reads the
// version from the first line. The file is removed in every case.
ProbeOutcome ProbeJavaVersion(const char* executable, char* version, size_t capacity);

// How long a runtime may take to print its version before it is terminated.
constexpr unsigned long ProbeTimeLimit = 10000;
