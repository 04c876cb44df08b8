// Threads.cpp — threads started suspended, given their priority, then
// resumed.
#include "Threads.h"

HANDLE StartThreadHandle(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority) {
    HANDLE thread = CreateThread(nullptr, 0, procedure, parameter, CREATE_SUSPENDED, nullptr);
    if (!thread) return nullptr;
    SetThreadPriority(thread, priority);
    if (ResumeThread(thread) != DWORD(-1)) return thread;
    DWORD error = GetLastError();
    TerminateThread(thread, 1);  // never ran: it holds nothing
    CloseHandle(thread);
    SetLastError(error);
    return nullptr;
}

void StartThread(LPTHREAD_START_ROUTINE procedure, LPVOID parameter, int priority) {
    HANDLE thread = StartThreadHandle(procedure, parameter, priority);
    if (thread) CloseHandle(thread);
}
