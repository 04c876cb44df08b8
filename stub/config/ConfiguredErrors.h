// ConfiguredErrors.h — errors shown with the configured texts: narrow
// messages with one placeholder under the narrow caption, wide texts under
// the wide caption. Every fatal one ends the process with exit code 1.
#pragma once

#include <cstdint>

#include "ErrorReporting.h"

// Shows narrow message `key` with the first `placeholder` (may be null)
// replaced by `replacement`.
void ShowConfiguredError(int32_t key, const char* placeholder, const char* replacement);

// Shows a fixed (not configured) text under the configured caption.
void ShowFixedError(const char* text);

// ShowFixedError, then the process ends with exit code 1.
[[noreturn]] void FatalInternalError(const char* text);
// A system call that failed where no configured message fits: reports
// "Internal Error: `operation`: error <code>: " followed by the system's
// text for the calling thread's last error (see SystemErrorText),
// then ends the process with exit code 1.
[[noreturn]] void FatalSystemError(const char* operation);
[[noreturn]] void FatalWideError(int32_t key);
[[noreturn]] void FatalConfiguredError(int32_t key, const char* placeholder, const char* replacement);
