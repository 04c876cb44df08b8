// DownloadProgress.h — the figures of a download: its announced length as
// the server states it, and the status line and bar position computed from
// the byte counts and the elapsed time. Lengths count in 64 bits, so an
// archive past 4 GB is neither cut nor shown wrong.
#pragma once

#include <cstddef>
#include <cstdint>

// The Content-Length text of a response as a number: decimal digits only
// (at most 19 of them, nothing else but surrounding blanks). False for
// anything else, so that a length that is not understood is never taken
// for a smaller one.
bool ParseContentLength(const char* text, uint64_t* length);

// Bar position on the 0..100 scale: received * 100 / total, truncated
// toward zero; 0 when nothing is announced, 100 for anything beyond it.
int DownloadPercentPosition(uint64_t received, uint64_t total);

// Applies the configured wide `format` (four floating-point conversions) to
// megabytes received, megabytes in all, percent and bytes per millisecond
// (shown as kB/s). Before the first elapsed millisecond the rate is 0.
// The result is cut to `capacity` - 1 units and always terminated.
void FormatDownloadProgress(wchar_t* out, size_t capacity, const wchar_t* format, uint64_t received,
                            uint64_t total, uint32_t elapsedMilliseconds);
