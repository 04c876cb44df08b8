// DownloadProgress.cpp — the announced length, and the figures of the
// download status line and the progress bar.
#include "DownloadProgress.h"

#include <cstdio>

constexpr double BytesPerMegabyte = 1048576.0;
// 19 digits always fit 64 bits unsigned; 20 may not.
constexpr int LengthDigitLimit = 19;

static const char* SkipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    return text;
}

bool ParseContentLength(const char* text, uint64_t* length) {
    const char* digit = SkipBlanks(text);
    uint64_t value = 0;
    int digits = 0;
    for (; *digit >= '0' && *digit <= '9'; ++digit, ++digits) {
        if (digits == LengthDigitLimit) return false;
        value = value * 10 + uint64_t(*digit - '0');
    }
    if (digits == 0 || *SkipBlanks(digit) != '\0') return false;
    *length = value;
    return true;
}

int DownloadPercentPosition(uint64_t received, uint64_t total) {
    if (total == 0) return 0;
    if (received > total) received = total;
    // received * 100 fits 64 bits below 2^57 bytes; beyond, the total is
    // at least as large and counted in whole percents.
    if (received < (uint64_t(1) << 57)) return int(received * 100 / total);
    return int(received / (total / 100));
}

void FormatDownloadProgress(wchar_t* out, size_t capacity, const wchar_t* format, uint64_t received,
                            uint64_t total, uint32_t elapsedMilliseconds) {
    if (capacity == 0) return;
    double percent = total ? double(received) * 100.0 / double(total) : 0.0;
    // No elapsed millisecond yet: no rate can be measured, show 0 rather
    // than the infinity of a division by zero.
    double rate = elapsedMilliseconds ? double(received) / elapsedMilliseconds : 0.0;
    _snwprintf(out, capacity - 1, format, double(received) / BytesPerMegabyte, double(total) / BytesPerMegabyte,
               percent, rate);
    out[capacity - 1] = L'\0';
}
