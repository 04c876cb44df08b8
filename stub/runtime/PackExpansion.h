// PackExpansion.h — expanding a runtime's packed jars ("<jar>.pack") with
// the runtime's own "bin\unpack200.exe", one jar at a time.
#pragma once

// Expands the six packed jars of the runtime in `runtimeDirectory` when
// "lib\rt.jar.pack" exists and "lib\jsse.jar" (the last one expanded) does
// not; otherwise does nothing.
void ExpandPackedJars(const char* runtimeDirectory);

// Runs the unpack tool hidden for `jar` (relative to the runtime directory)
// when its pack file exists, and waits for it without a time limit. A tool
// that cannot be started is fatal (message 1009, error code 20).
void ExpandPackedJar(const char* runtimeDirectory, const char* jar);
