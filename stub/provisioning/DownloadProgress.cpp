// DownloadProgress.cpp — the figures of the download status line and the
// progress bar.
#include "DownloadProgress.h"

#include <cstdio>

constexpr double BytesPerMegabyte = 1048576.0;

int DownloadPercentPosition(uint32_t received, uint32_t total) {
    if (total == 0) return 0;
    // 64-bit product: received * 100 overflows 32 bits above 42 MB.
    return int(uint64_t(received) * 100 / total);
}

void FormatDownloadProgress(wchar_t* out, size_t capacity, const wchar_t* format, uint32_t received,
                            uint32_t total, uint32_t elapsedMilliseconds) {
    if (capacity == 0) return;
    double percent = total ? received * 100.0 / total : 0.0;
    // No elapsed millisecond yet: no rate can be measured, show 0 rather
    // than the infinity of a division by zero.
    double rate = elapsedMilliseconds ? double(received) / elapsedMilliseconds : 0.0;
    _snwprintf(out, capacity - 1, format, received / BytesPerMegabyte, total / BytesPerMegabyte, percent, rate);
    out[capacity - 1] = L'\0';
}
