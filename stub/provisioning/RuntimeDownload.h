// RuntimeDownload.h — downloading a runtime archive over HTTP with the
// system's internet library (bound at run time from the system directory,
// not imported), with the status line and the progress bar of the progress
// dialog.
#pragma once

#include <windows.h>

// The Download step: fetches `url` into `archive` (an absolute path).
// Returns only on success; a missing internet library ends the process
// with message 20002, a failed download with message 20003.
void DownloadRuntime(HWND dialog, const char* url, const char* archive);

// Loads the system directory's "wininet.dll" (never freed) and binds its
// entry points; true only when all of them were found.
bool LoadInternetLibrary();

// Downloads `url` into `fileName`, showing progress on `dialog`. The
// response must announce its length (Content-Length, 64-bit), and the
// volume must have room for it. The download fails, and the file is
// deleted, when the transfer ends before that many bytes arrived or
// nothing arrives for DownloadStallLimit (the watch then reports the
// failure itself, with message 20003).
bool DownloadFile(HWND dialog, const char* url, const char* fileName);
