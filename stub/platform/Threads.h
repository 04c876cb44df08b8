// Threads.h — starting the launcher's helper threads, which run beside the
// start and are neither waited for nor kept.
#pragma once

#include <windows.h>

// Runs `procedure` with `parameter` on a new thread at `priority` (one of
// the THREAD_PRIORITY_ values); the handle is closed at once. A thread that
// cannot be created is passed over.
void StartThread(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority);
