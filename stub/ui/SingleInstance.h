// SingleInstance.h — one running process per executable path: a second
// start of the same executable brings the first one's windows to the front,
// leaves it an empty communication file and ends with exit code 0.
//
// The first process's Java side learns the semaphore name (SemaphoreName)
// and its communication file (MakeProcessFileName with its own process id).
#pragma once

#include <windows.h>

// ExecutablePath() with every '\' replaced by '_'. Null until the guard has
// run, and when no name could be formed (then the process is unguarded).
extern char* SemaphoreName;

// Returns in the first process; ends a second process with exit code 0.
void SingleInstanceGuard();

// The first process's id from the per-user "pids" value; 0 when absent or
// not a 4-byte value.
DWORD ReadInstancePid();
// Records the current process as the first process of this executable.
void WriteInstancePid();
