// DownloadWatch.cpp — the watch thread and the one exchange that decides
// whether the download ended by itself or was given up.
#include "DownloadWatch.h"

#include "ConfiguredErrors.h"
#include "ConfigKeys.h"
#include "Progress.h"

// The thread that loses the exchange waits here for the process to end.
[[noreturn]] static void WaitForProcessEnd() {
    for (;;) Sleep(INFINITE);
}

DownloadWatch::DownloadWatch(const char* archive) : archive_(archive), lastHeard_(GetTickCount()) {
    finished_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!finished_) FatalSystemError("CreateEvent");
    thread_ = StartRequiredThread(Watch, this, THREAD_PRIORITY_NORMAL);
}

void DownloadWatch::Heard() {
    lastHeard_.store(GetTickCount());
    if (state_.load() != State::Running) WaitForProcessEnd();
}

void DownloadWatch::Finish() {
    State running = State::Running;
    if (!state_.compare_exchange_strong(running, State::Finished)) WaitForProcessEnd();
    SetEvent(finished_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(finished_);
}

DWORD WINAPI DownloadWatch::Watch(LPVOID parameter) {
    DownloadWatch* self = static_cast<DownloadWatch*>(parameter);
    for (;;) {
        DWORD silent = GetTickCount() - self->lastHeard_.load();
        if (silent >= DownloadStallLimit) break;
        if (WaitForSingleObject(self->finished_, DownloadStallLimit - silent) == WAIT_OBJECT_0) return 0;
    }
    // The download may have ended just now: then it stands.
    State running = State::Running;
    if (!self->state_.compare_exchange_strong(running, State::Stalled)) return 0;
    DeleteFileA(self->archive_);
    FatalWideError(Text::DownloadFailed);
}
