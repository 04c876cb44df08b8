// Progress.h — the progress dialog's bar and texts as the provisioning steps
// and the window watch drive them, and the progress values they share.
#pragma once

#include <windows.h>

// The progress scale after the runtime step and the flags the progress
// threads poll. Plain values, no locks: each is written by one thread
// (the worker running the launch sequence) before its readers start, except
// `jarsExpanded`, which the animation thread polls.
struct ProgressState {
    int limit = 0;            // end of the bar's range
    int base = 0;             // position the window watch starts from
    bool downloadOffered = false;
    DWORD extractionTime = 0; // milliseconds the archive took; paces the animation
    volatile bool jarsExpanded = false;
};
extern ProgressState Progress;

// Puts the wide configuration text of `key` on the dialog item `item`.
void SetItemFromKey(HWND dialog, int item, int key);

// Puts the progress bar of the dialog at `position`.
void SetProgressPosition(HWND dialog, int position);

// Starts a progress thread (window watch, jar-expansion animation) one
// priority step above normal; nobody waits for it or keeps its handle.
void StartProgressThread(LPTHREAD_START_ROUTINE procedure, HWND dialog);
