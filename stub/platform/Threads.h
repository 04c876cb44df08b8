// Threads.h — starting the launcher's threads at a priority of their own.
#pragma once

#include <windows.h>

// Runs `procedure` with `parameter` on a new thread at `priority` (one of
// the THREAD_PRIORITY_ values) and returns its handle, for the caller to
// wait on or close; null (the reason in GetLastError) when no thread could
// be started.
HANDLE StartThreadHandle(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority);

// StartThreadHandle for helper threads that run beside the start and are
// neither waited for nor kept: the handle is closed at once, and a thread
// that cannot be started is passed over.
void StartThread(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority);
