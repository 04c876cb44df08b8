// ProcessEnvironment.h — preparing the process before the command line is
// interpreted: configuration, product flavour, PATH and working directory.
#pragma once

#include <windows.h>
#include <cstddef>

// Loads the configuration (with the product flavour), records the module
// handle, puts
// the directories of Key::PathEntries in front of PATH and enters the working
// directory of Key::WorkingDirectory (relative to the executable's directory unless
// absolute). Only a damaged configuration block is reported.
void PrepareProcessEnvironment(HINSTANCE instance);

// PATH = the entries of Key::PathEntries resolved against the executable's
// directory, ';', the old PATH; set in the operating system's environment
// and in the run-time library's copy.
void ExtendPath();

// `entries` (resolved, ';'-separated) followed by ';' unless empty or
// already ending with one, then `oldPath`. When the whole does not fit in
// `capacity` bytes, trailing entries of the old PATH are left out whole, so
// no directory is ever cut; the configured entries always stay (false and an
// empty result only when they alone do not fit).
bool ComposeExtendedPath(char* out, size_t capacity, const char* entries, const char* oldPath);

// Sets PATH in both copies of the environment: the operating system's (seen
// by child processes) and the run-time library's ("PATH=%s" through _putenv).
void SetPathVariable(const char* value);
