// LauncherDialogs.h — the progress dialog, the runtime-not-found dialog and
// the window watch that hides the progress dialog.
#pragma once

#include <windows.h>

// The executable's module handle, for the dialog templates and the icon.
extern HINSTANCE ModuleInstance;

// Registers "MyDlgClass", the window class of the progress dialog.
void RegisterProgressDialogClass();
// The progress dialog; the parameter of its creation is the launch
// sequence (an LPTHREAD_START_ROUTINE), started on a worker thread with the
// dialog as its parameter when the dialog initialises.
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RuntimeNotFoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Thread procedure started right before the VM: moves the progress bar until
// the application shows a window of its own, then hides the dialog; after
// 60 seconds without one a windowed application or installer ends with
// message 20014, while a console application runs on without the dialog.
DWORD WINAPI WatchApplicationWindows(LPVOID progressDialog);
