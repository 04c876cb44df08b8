// DownloadProgress.h — the figures of the download status line and the
// progress bar, computed from the byte counts and the elapsed time.
#pragma once

#include <cstddef>
#include <cstdint>

// Bar position on the 0..100 scale: received * 100 / total, truncated
// toward zero; 0 when nothing is announced.
int DownloadPercentPosition(uint32_t received, uint32_t total);

// Applies the configured wide `format` (four floating-point conversions) to
// megabytes received, megabytes in all, percent and bytes per millisecond
// (shown as kB/s). Before the first elapsed millisecond the rate is 0.
// The result is cut to `capacity` - 1 units and always terminated.
void FormatDownloadProgress(wchar_t* out, size_t capacity, const wchar_t* format, uint32_t received,
                            uint32_t total, uint32_t elapsedMilliseconds);
