// LauncherDialogs.h — the progress dialog, the runtime-not-found dialog and
// the window watch that hides the progress dialog.
#pragma once

#include <windows.h>

// The executable's module handle, for the dialog templates and the icon.
extern HINSTANCE ModuleInstance;

// Registers "MyDlgClass", the window class of the progress dialog, and
// shows the dialog modally; `sequence` starts on a worker thread with the
// dialog as its parameter when the dialog initialises. Returns how the
// dialog ended: IDOK (the launch sequence ended it) or IDCANCEL (the user
// cancelled or closed it). A class, dialog or thread that cannot be made
// ends the launcher with the system's reason.
INT_PTR RunProgressDialog(LPTHREAD_START_ROUTINE sequence);
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the runtime-not-found dialog owned by the progress dialog and
// returns the command that ended it: IDC_DOWNLOAD, or IDC_LOCATE once a
// runtime was located and loaded. Its Cancel ends the process with exit
// code 1; a dialog that cannot be shown ends the launcher with the reason.
INT_PTR AskForRuntime(HWND progressDialog);
INT_PTR CALLBACK RuntimeNotFoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Thread procedure started right before the VM: moves the progress bar until
// the application shows a window of its own, then hides the dialog; after
// 60 seconds without one a windowed application or installer ends with
// message 20014, while a console application runs on without the dialog.
DWORD WINAPI WatchApplicationWindows(LPVOID progressDialog);
