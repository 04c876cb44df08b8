// ChildProcesses.h — starting the launcher's child processes (the version
// probe, the unpack tool) by their absolute program path, inside one job
// object that ends them when the launcher ends, however it ends.
#pragma once

#include <windows.h>

// Starts `program` (an absolute path: the system never searches for it)
// with `commandLine` (its first word names the program again, as children
// expect) hidden, with the given standard handles when `startup` asks for
// them, and inheriting handles when `inheritHandles`. The child joins the
// launcher's job before it runs a single instruction. False (nothing left
// running) when it cannot be started or the child processes were ended.
bool StartChildProcess(const char* program, char* commandLine, STARTUPINFOA* startup, bool inheritHandles,
                       PROCESS_INFORMATION* process);

// Ends every child the launcher started that still runs, and every one
// started from now on before it runs. Any thread may call it.
void EndChildProcesses();
// True once EndChildProcesses was called.
bool ChildProcessesEnded();
