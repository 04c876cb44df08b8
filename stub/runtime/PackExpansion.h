// PackExpansion.h — expanding a runtime's packed jars ("<jar>.pack") with
// the runtime's own "bin\unpack200.exe", one jar at a time.
//
// The tool is started with "-r", which deletes a pack file once its jar is
// written; so a pack file that is left marks a jar that is missing or
// incomplete (the tool failed, or was ended part-way), whatever else the
// runtime holds.
#pragma once

// Expands the six packed jars of the runtime in `runtimeDirectory` (an
// absolute path) whose pack files are left, in their fixed order. True when
// no pack file is left afterwards: the runtime's jars are whole. Waits for
// each tool run without a time limit; the child processes run in the
// launcher's job, and once they are ended (EndChildProcesses, on Cancel)
// the expansion stops and returns false.
bool ExpandPackedJars(const char* runtimeDirectory);

// Runs the unpack tool "<runtimeDirectory>\bin\unpack200.exe", named by its
// full path, hidden for `jar` (relative to the runtime directory) when its
// pack file exists, and waits for it. False when the child processes were
// ended (before or during the run); a tool that cannot be started
// otherwise is fatal (message 1009, error code 20).
bool ExpandPackedJar(const char* runtimeDirectory, const char* jar);
