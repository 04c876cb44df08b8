// Cancellation.cpp — the Cancel flag and the event that tells the dialog's
// thread that no provisioning step runs.
#include "Cancellation.h"

#include "ChildProcesses.h"

static volatile LONG Cancelled = 0;

// Signalled while no step runs; made by whichever thread needs it first.
static HANDLE StepIdle() {
    static HANDLE volatile event = nullptr;
    if (!event) {
        HANDLE made = CreateEventW(nullptr, TRUE, TRUE, nullptr);
        if (made && InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&event), made, nullptr))
            CloseHandle(made);
    }
    return event;
}

void RequestCancel() {
    InterlockedExchange(&Cancelled, 1);
    // A step waiting for a child (the unpack tool) goes on at once.
    EndChildProcesses();
    HANDLE idle = StepIdle();
    if (!idle) return;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= CancelWaitMilliseconds) return;
        DWORD woken = MsgWaitForMultipleObjects(1, &idle, FALSE, CancelWaitMilliseconds - waited, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) return;  // idle, timed out or failed
        // Serves the progress updates the worker sends meanwhile.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

bool CancelRequested() { return InterlockedCompareExchange(&Cancelled, 0, 0) != 0; }

void BeginCancellableStep() {
    HANDLE idle = StepIdle();
    if (idle) ResetEvent(idle);
    // Checked after the reset: a Cancel that saw no step running came first.
    if (CancelRequested()) EndCancelledStep();
}

void EndCancellableStep() {
    HANDLE idle = StepIdle();
    if (idle) SetEvent(idle);
}

void EndCancelledStep() {
    EndCancellableStep();
    ExitThread(0);
}
