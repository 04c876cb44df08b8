// RuntimeDownload.h — downloading a runtime archive over HTTP with the
// system's internet library (bound at run time, not imported), with the
// status line and the progress bar of the progress dialog.
#pragma once

#include <windows.h>

// The Download step: fetches `url` into "jre.tar.gz" in the current
// directory. Returns only on success; a missing internet library ends the
// process with message 20002, a failed download with message 20003.
void DownloadRuntime(HWND dialog, const char* url);

// Loads "wininet.dll" by name (never freed) and binds its six entry points;
// true only when all of them were found.
bool LoadInternetLibrary();

// Downloads `url` into `fileName`, showing progress on `dialog`. The
// response must announce its length; the download fails (and the file is
// deleted) when the transfer ends before that many bytes arrived.
bool DownloadFile(HWND dialog, const char* url, const char* fileName);
