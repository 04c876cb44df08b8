// DownloadWatch.h — the watch over a running download. A server that stops
// sending holds the worker inside the internet library, which offers no
// dependable way back out (a receive time-out that is not always honoured,
// a close that does not end a read in progress); so a thread of its own
// ends a download that has received nothing for DownloadStallLimit: it
// removes the partial archive and reports the download error, which ends
// the process, while the worker never comes back.
#pragma once

#include <windows.h>

#include <atomic>

// The longest a download may go without receiving a byte.
constexpr DWORD DownloadStallLimit = 60000;

class DownloadWatch {
public:
    // Starts watching the download into `archive`, which must have been
    // opened for sharing with deletion (it is removed while still open).
    explicit DownloadWatch(const char* archive);
    DownloadWatch(const DownloadWatch&) = delete;
    DownloadWatch& operator=(const DownloadWatch&) = delete;

    // Bytes arrived. When the watch has given up on the download meanwhile,
    // the calling thread stops here for good.
    void Heard();
    // The download ended, either way; the watch ends too. When it had given
    // up on the download already, the calling thread stops here for good.
    void Finish();

private:
    enum class State { Running, Finished, Stalled };
    static DWORD WINAPI Watch(LPVOID self);

    const char* archive_;
    std::atomic<DWORD> lastHeard_;
    std::atomic<State> state_{State::Running};
    HANDLE finished_;  // set by Finish: wakes the watch at once
    HANDLE thread_;
};
