// Progress.h — the progress dialog's bar and texts as the provisioning steps
// and the window watch drive them, the progress values they share, and the
// start of the launcher's threads.
#pragma once

#include <windows.h>

#include <atomic>

// The progress scale after the runtime step and the flag the jar animation
// polls. The plain values are written by the worker running the launch
// sequence before it starts the threads that read them (thread creation
// orders the writes before the reads); `base` is written only by the window
// watch once it runs. `jarsExpanded` is written by the worker while the
// animation thread reads it.
struct ProgressState {
    int limit = 0;            // end of the bar's range
    int base = 0;             // position the window watch starts from
    bool downloadOffered = false;
    DWORD extractionTime = 0; // milliseconds the archive took; paces the animation
    std::atomic<bool> jarsExpanded{false};
};
extern ProgressState Progress;

// Puts the wide configuration text of `key` on the dialog item `item`.
void SetItemFromKey(HWND dialog, int item, int key);

// Puts the progress bar of the dialog at `position`.
void SetProgressPosition(HWND dialog, int position);

// StartThreadHandle for a thread the start cannot do without (the worker,
// the window watch, the jar animation, the download watch): one that cannot
// be started ends the launcher with the system's reason (FatalSystemError),
// as work that never runs would leave the progress dialog waiting for it
// forever.
HANDLE StartRequiredThread(LPTHREAD_START_ROUTINE procedure, void* parameter, int priority);
