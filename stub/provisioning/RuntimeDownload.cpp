// RuntimeDownload.cpp — the runtime archive download: the internet library
// bound from the system directory, the HTTP transfer into a file, and the
// progress shown on the progress dialog while it runs.
#include "RuntimeDownload.h"

#include <commctrl.h>
#include <wininet.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Cancellation.h"
#include "ConfigBlock.h"
#include "DownloadProgress.h"
#include "DownloadWatch.h"
#include "ConfiguredErrors.h"
#include "Progress.h"
#include "Resources.h"
#include "SystemLibrary.h"
#include "WideText.h"
#include "ConfigKeys.h"

// Entry points of the internet library. Only their types come from
// wininet.h: the library is loaded when a download is attempted, so the
// executable does not import it.
struct InternetFunctions {
    decltype(&InternetOpenA) open;
    decltype(&InternetOpenUrlA) openUrl;
    decltype(&HttpQueryInfoA) queryInfo;
    decltype(&InternetAttemptConnect) attemptConnect;
    decltype(&InternetCloseHandle) closeHandle;
    decltype(&InternetReadFile) readFile;
    decltype(&InternetQueryDataAvailable) queryDataAvailable;
    decltype(&InternetSetOptionA) setOption;
};
static InternetFunctions Internet;

// At most this many bytes are asked for per read.
constexpr DWORD ReadChunkSize = 16384;
// The status line and the bar change at most this often (milliseconds).
constexpr DWORD ProgressInterval = 500;

template <typename Function>
static bool Bind(HMODULE library, const char* name, Function* entry) {
    *entry = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return *entry != nullptr;
}

bool LoadInternetLibrary() {
    HMODULE library = LoadSystemLibrary("wininet.dll");
    if (!library) return false;
    return Bind(library, "InternetOpenA", &Internet.open) &&
           Bind(library, "InternetOpenUrlA", &Internet.openUrl) &&
           Bind(library, "HttpQueryInfoA", &Internet.queryInfo) &&
           Bind(library, "InternetAttemptConnect", &Internet.attemptConnect) &&
           Bind(library, "InternetCloseHandle", &Internet.closeHandle) &&
           Bind(library, "InternetReadFile", &Internet.readFile) &&
           Bind(library, "InternetQueryDataAvailable", &Internet.queryDataAvailable) &&
           Bind(library, "InternetSetOptionA", &Internet.setOption);
}

// The two handles of one transfer; closing a null one is skipped.
struct Connection {
    HINTERNET root = nullptr;
    HINTERNET url = nullptr;

    void Close() {
        if (url) Internet.closeHandle(url);
        if (root) Internet.closeHandle(root);
        url = root = nullptr;
    }
};

// The internet library's own receive time-out, where it honours one, is
// the same as the watch's.
static void LimitReceiveWait(HINTERNET root) {
    DWORD timeout = DownloadStallLimit;
    Internet.setOption(root, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
}

// The response's Content-Length, read as text so that lengths past 4 GB
// are neither cut nor wrapped.
static bool QueryAnnouncedLength(HINTERNET url, uint64_t* announced) {
    char text[32];
    DWORD size = sizeof text - 1;
    if (!Internet.queryInfo(url, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr) || size >= sizeof text) return false;
    text[size] = '\0';
    return ParseContentLength(text, announced);
}

// Opens the URL and reads the announced length; false (handles closed)
// when the session, the URL or the Content-Length is not available.
static bool OpenTransfer(Connection* connection, const char* url, uint64_t* announced) {
    Internet.attemptConnect(0);
    connection->root = Internet.open("tanager download agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!connection->root) return false;
    LimitReceiveWait(connection->root);
    connection->url = Internet.openUrl(connection->root, url, nullptr, 0,
                                       INTERNET_FLAG_PASSIVE | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (!connection->url || !QueryAnnouncedLength(connection->url, announced)) {
        connection->Close();
        return false;
    }
    return true;
}

// Progress of one transfer on the dialog's status line and bar.
class ProgressReport {
public:
    ProgressReport(HWND dialog, uint64_t announced) : dialog_(dialog), announced_(announced), start_(GetTickCount()) {}

    // Shows the counts right after the first read, then at most every
    // ProgressInterval milliseconds.
    void Update(uint64_t received) {
        DWORD now = GetTickCount();
        if (shown_ && now - lastUpdate_ <= ProgressInterval) return;
        wchar_t format[TextBufferSize], text[TextBufferSize];
        ConfigWString(Text::DownloadProgress, format, TextBufferSize);
        FormatDownloadProgress(text, TextBufferSize, format, received, announced_, now - start_);
        SetDlgItemTextWide(dialog_, IDC_STATUS_LINE, text);
        SetProgressPosition(dialog_, DownloadPercentPosition(received, announced_));
        lastUpdate_ = now;
        shown_ = true;
    }

private:
    HWND dialog_;
    uint64_t announced_;
    DWORD start_;
    DWORD lastUpdate_ = 0;
    bool shown_ = false;
};

// Writes all `count` bytes, going on after a partial write.
static bool WriteAll(HANDLE file, const char* bytes, DWORD count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, count, &written, nullptr) || written == 0) return false;
        bytes += written;
        count -= written;
    }
    return true;
}

// How many bytes to ask for next: what has arrived, at most ReadChunkSize
// and no more than the rest of the announced length. 0 when nothing more
// will arrive (the server closed the connection) or the query failed.
// Waits for the first byte to arrive, so a read never waits for a whole
// chunk while a slow server sends it in drops.
static DWORD NextReadSize(HINTERNET url, uint64_t left, DownloadWatch* watch) {
    DWORD available = 0;
    if (!Internet.queryDataAvailable(url, &available, 0, 0)) return 0;
    watch->Heard();
    if (available > ReadChunkSize) available = ReadChunkSize;
    return left < available ? DWORD(left) : available;
}

// Reads the announced number of bytes into `file`. A failed read, the end
// of the data before the announced length (the server closed the
// connection early) and a failed write all end the transfer as failed.
static bool Transfer(HINTERNET url, HANDLE file, uint64_t announced, ProgressReport* progress, DownloadWatch* watch) {
    char* buffer = static_cast<char*>(malloc(ReadChunkSize));
    if (!buffer) return false;
    bool ok = true;
    for (uint64_t received = 0; ok && received < announced;) {
        DWORD want = NextReadSize(url, announced - received, watch), got = 0;
        ok = want > 0 && !CancelRequested() && Internet.readFile(url, buffer, want, &got) && got > 0 &&
             WriteAll(file, buffer, got);
        received += got;
        progress->Update(received);
    }
    free(buffer);
    return ok;
}

// The bytes free for the launcher on the volume of `path` (a file's full
// path); the most a 64-bit count holds when the system cannot tell.
static uint64_t FreeSpaceFor(const char* path) {
    char directory[TextBufferSize] = "";
    ULARGE_INTEGER available;
    const char* lastSeparator = strrchr(path, '\\');
    size_t length = lastSeparator ? size_t(lastSeparator - path) + 1 : 0;
    if (length == 0 || length >= sizeof directory) return UINT64_MAX;
    memcpy(directory, path, length);
    directory[length] = '\0';
    if (!GetDiskFreeSpaceExA(directory, &available, nullptr, nullptr)) return UINT64_MAX;
    return available.QuadPart;
}

// Creates the archive for writing, shared for deletion: whoever gives up
// on the download (the watch, the main thread on Cancel) removes it while
// it is still open, and the system deletes it when its handle closes.
static HANDLE CreateArchive(const char* fileName) {
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && CancelRequested()) {
        // Cancel came before the file existed for the main thread to remove.
        CloseHandle(file);
        DeleteFileA(fileName);
        EndCancelledStep();
    }
    return file;
}

// The download under the watch: opening the URL (a server may accept and
// never answer) and the transfer.
static bool DownloadWatched(HWND dialog, const char* url, const char* fileName, DownloadWatch* watch) {
    Connection connection;
    uint64_t announced = 0;
    if (!OpenTransfer(&connection, url, &announced)) return false;
    watch->Heard();
    // A length the disk cannot hold would only fill it before failing.
    HANDLE file = announced <= FreeSpaceFor(fileName) ? CreateArchive(fileName) : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) {
        connection.Close();
        return false;
    }
    ProgressReport progress(dialog, announced);
    bool ok = Transfer(connection.url, file, announced, &progress, watch);
    if (!CloseHandle(file)) ok = false;
    connection.Close();
    return ok;
}

bool DownloadFile(HWND dialog, const char* url, const char* fileName) {
    SetItemFromKey(dialog, IDC_STATUS_LINE, Text::DownloadStarting);
    DownloadWatch watch(fileName);
    bool ok = DownloadWatched(dialog, url, fileName, &watch);
    watch.Finish();
    if (!ok) DeleteFileA(fileName);
    return ok;
}

void DownloadRuntime(HWND dialog, const char* url, const char* archive) {
    SetItemFromKey(dialog, IDC_MAIN_TEXT, Text::Downloading);
    SetItemFromKey(dialog, IDCANCEL, Text::CancelButton);
    HWND statusLine = GetDlgItem(dialog, IDC_STATUS_LINE);
    ShowWindow(statusLine, SW_SHOW);
    if (!LoadInternetLibrary()) FatalWideError(Text::InternetInitFailed);
    if (!DownloadFile(dialog, url, archive)) {
        // Ended by the user's Cancel, not by the server: no message.
        if (CancelRequested()) EndCancelledStep();
        FatalWideError(Text::DownloadFailed);
    }
    ShowWindow(statusLine, SW_HIDE);
}
