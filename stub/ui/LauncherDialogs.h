// LauncherDialogs.h — the progress dialog, the runtime-not-found dialog and
// the progress values shared by the provisioning steps.
#pragma once

#include <windows.h>

// Progress scale after the runtime step (plain values, no locks: each is
// written by one thread before its readers start).
extern int ProgressLimit;
extern int ProgressBase;
extern bool DownloadOffered;
// Milliseconds the runtime archive's extraction took; paces the animation
// while packed jars are expanded.
extern DWORD ExtractionTime;
// Set by the worker thread once the packed jars are expanded; polled by the
// animation thread.
extern volatile bool JarsExpanded;

// Puts the wide configuration text of `key` on the dialog item `item`.
void SetItemFromKey(HWND dialog, int item, int key);

// Registers "MyDlgClass", the window class of the progress dialog.
void RegisterProgressDialogClass();
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RuntimeNotFoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the progress bar of the dialog at `position`.
void SetProgressPosition(HWND dialog, int position);

// Starts a progress thread (window watch, jar-expansion animation) one
// priority step above normal; nobody waits for it or keeps its handle.
void StartProgressThread(LPTHREAD_START_ROUTINE procedure, HWND dialog);

// Thread procedure started right before the VM: moves the progress bar until
// the application shows a window of its own, then hides the dialog; after
// 60 seconds without one the process ends with message 20014.
DWORD WINAPI WatchApplicationWindows(LPVOID progressDialog);
