// Cancellation.h — the user's Cancel while a runtime is being provided.
// The progress dialog's thread asks for it and waits until the worker's
// running provisioning step has noticed, removed what it created and
// stopped; only then may the process end, so no half-made file or runtime
// is left behind. A step marks its span with BeginCancellableStep and one
// of the two ends.
#pragma once

#include <windows.h>

// How long the dialog's thread waits for a step to stop.
constexpr DWORD CancelWaitMilliseconds = 10000;

// Dialog thread: asks running and coming steps to stop, ends the child
// processes (ChildProcesses.h), and waits (serving
// the messages the worker sends to the dialog meanwhile) until no step runs,
// at most CancelWaitMilliseconds.
void RequestCancel();

// Worker: whether Cancel was asked for.
bool CancelRequested();

// Worker: a step that cleans up after itself on Cancel begins. When Cancel
// came first, the worker thread ends here instead.
void BeginCancellableStep();
// Worker: the step is over without a Cancel.
void EndCancellableStep();
// Worker: the step has cleaned up after a Cancel; ends the worker thread.
[[noreturn]] void EndCancelledStep();
