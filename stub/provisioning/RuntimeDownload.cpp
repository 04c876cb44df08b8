// RuntimeDownload.cpp — the runtime archive download: the internet library
// bound by name, the HTTP transfer into a file, and the progress shown on
// the progress dialog while it runs.
#include "RuntimeDownload.h"

#include <commctrl.h>
#include <wininet.h>
#include <cstdio>
#include <cstdlib>

#include "ConfigBlock.h"
#include "DownloadProgress.h"
#include "ConfiguredErrors.h"
#include "Progress.h"
#include "Resources.h"
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
    HMODULE library = LoadLibraryA("wininet.dll");
    if (!library) return false;
    return Bind(library, "InternetOpenA", &Internet.open) &&
           Bind(library, "InternetOpenUrlA", &Internet.openUrl) &&
           Bind(library, "HttpQueryInfoA", &Internet.queryInfo) &&
           Bind(library, "InternetAttemptConnect", &Internet.attemptConnect) &&
           Bind(library, "InternetCloseHandle", &Internet.closeHandle) &&
           Bind(library, "InternetReadFile", &Internet.readFile);
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

// Opens the URL and reads the announced length; false (handles closed)
// when the session, the URL or the Content-Length is not available.
static bool OpenTransfer(Connection* connection, const char* url, DWORD* announced) {
    Internet.attemptConnect(0);
    connection->root = Internet.open("tanager download agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!connection->root) return false;
    connection->url = Internet.openUrl(connection->root, url, nullptr, 0,
                                       INTERNET_FLAG_PASSIVE | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    DWORD size = sizeof *announced;
    if (!connection->url ||
        !Internet.queryInfo(connection->url, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, announced, &size,
                            nullptr)) {
        connection->Close();
        return false;
    }
    return true;
}

// Progress of one transfer on the dialog's status line and bar.
class ProgressReport {
public:
    ProgressReport(HWND dialog, DWORD announced) : dialog_(dialog), announced_(announced), start_(GetTickCount()) {}

    // Shows the counts right after the first read, then at most every
    // ProgressInterval milliseconds.
    void Update(DWORD received) {
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
    DWORD announced_;
    DWORD start_;
    DWORD lastUpdate_ = 0;
    bool shown_ = false;
};

// Reads the announced number of bytes into `file`. A failed read, a
// successful read of no bytes before the end (the server closed the
// connection early; reading on would never end) and a short write all end
// the transfer as failed.
static bool Transfer(HINTERNET url, FILE* file, DWORD announced, ProgressReport* progress) {
    char* buffer = static_cast<char*>(malloc(ReadChunkSize));
    if (!buffer) return false;
    bool ok = true;
    DWORD received = 0;
    while (ok && received < announced) {
        DWORD want = announced - received < ReadChunkSize ? announced - received : ReadChunkSize;
        DWORD got = 0;
        ok = Internet.readFile(url, buffer, want, &got) && got > 0;
        received += got;
        if (fwrite(buffer, 1, got, file) < got) {
            ok = false;
            break;
        }
        progress->Update(received);
    }
    free(buffer);
    return ok;
}

bool DownloadFile(HWND dialog, const char* url, const char* fileName) {
    SetItemFromKey(dialog, IDC_STATUS_LINE, Text::DownloadStarting);

    Connection connection;
    DWORD announced = 0;
    if (!OpenTransfer(&connection, url, &announced)) return false;
    FILE* file = fopen(fileName, "wb");
    if (!file) {
        connection.Close();
        return false;
    }
    ProgressReport progress(dialog, announced);
    bool ok = Transfer(connection.url, file, announced, &progress);
    // Buffered bytes that cannot be written when the file is closed make
    // the archive incomplete just as a short write does.
    if (fclose(file) != 0) ok = false;
    connection.Close();
    if (!ok) remove(fileName);
    return ok;
}

void DownloadRuntime(HWND dialog, const char* url) {
    SetItemFromKey(dialog, IDC_MAIN_TEXT, Text::Downloading);
    SetItemFromKey(dialog, IDCANCEL, Text::CancelButton);
    HWND statusLine = GetDlgItem(dialog, IDC_STATUS_LINE);
    ShowWindow(statusLine, SW_SHOW);
    if (!LoadInternetLibrary()) FatalWideError(Text::InternetInitFailed);
    if (!DownloadFile(dialog, url, "jre.tar.gz")) FatalWideError(Text::DownloadFailed);
    ShowWindow(statusLine, SW_HIDE);
}
