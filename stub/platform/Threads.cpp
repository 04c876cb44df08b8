// Threads.cpp — helper threads started suspended, given their priority,
// then let go.
#include "Threads.h"

void StartThread(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority) {
    HANDLE thread = CreateThread(nullptr, 0, procedure, parameter, CREATE_SUSPENDED, nullptr);
    if (!thread) return;
    SetThreadPriority(thread, priority);
    ResumeThread(thread);
    CloseHandle(thread);
}
