// RuntimeLoader.h — making a Java runtime ready for the VM start: found by
// the automatic search, named by its home (a runtime just unpacked), or
// chosen by hand. The accepted runtime's library is loaded and its VM
// creation entry bound (JvmLibrary.h); nothing else is kept.
#pragma once

// Whether a failure is reported: no runtime (message 1001), or a runtime
// whose library cannot be used (the message of its source, then 1005).
// None of them ends the process.
enum class FailureMessages { Hidden, Shown };

// The automatic search (RuntimeSearch.h), then loading.
bool LoadSearchedRuntime(FailureMessages messages);

// `home` as a runtime directory; failures are reported.
bool LoadRuntimeHome(const char* home);

// `path` first as the Java executable itself, then as a runtime directory;
// failures are reported.
bool LoadChosenRuntime(const char* path);
