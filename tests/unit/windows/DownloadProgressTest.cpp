// The download status line and bar position: the configured format applied
// to megabytes, percent and rate, and the bar's 0..100 position.
#include <gtest/gtest.h>

#include <cwchar>

#include "DownloadProgress.h"

namespace {

const wchar_t* const DefaultFormat = L"%.2f MB of %.2f MB (%.1f%%) at %.1f kb/s";

TEST(DownloadProgress, StatusLineShowsMegabytesPercentAndRate) {
    wchar_t text[256];
    // 13107200 bytes in 85556 ms: 153.2 bytes per millisecond.
    FormatDownloadProgress(text, 256, DefaultFormat, 13107200, 29245440, 85556);
    EXPECT_STREQ(text, L"12.50 MB of 27.89 MB (44.8%) at 153.2 kb/s");
}

TEST(DownloadProgress, RateBeforeTheFirstMillisecondIsZero) {
    wchar_t text[256];
    FormatDownloadProgress(text, 256, DefaultFormat, 16384, 40000, 0);
    EXPECT_STREQ(text, L"0.02 MB of 0.04 MB (41.0%) at 0.0 kb/s");
}

TEST(DownloadProgress, LongTextIsCutAndTerminated) {
    wchar_t text[12];
    wmemset(text, L'x', 12);
    FormatDownloadProgress(text, 12, DefaultFormat, 13107200, 29245440, 85556);
    EXPECT_STREQ(text, L"12.50 MB of");
}

TEST(DownloadProgress, BarPositionIsTheTruncatedPercentage) {
    EXPECT_EQ(DownloadPercentPosition(0, 40000), 0);
    EXPECT_EQ(DownloadPercentPosition(2, 3), 66);
    // 0.29 * 100 is 28.999... in floating point; the exact value is 29.
    EXPECT_EQ(DownloadPercentPosition(29, 100), 29);
    EXPECT_EQ(DownloadPercentPosition(40000, 40000), 100);
}

TEST(DownloadProgress, BarPositionOfLargeArchivesDoesNotOverflow) {
    // received * 100 exceeds 32 bits here.
    EXPECT_EQ(DownloadPercentPosition(3000000000u, 4000000000u), 75);
    EXPECT_EQ(DownloadPercentPosition(4294967295u, 4294967295u), 100);
}

TEST(DownloadProgress, NothingAnnouncedPutsTheBarAtZero) {
    EXPECT_EQ(DownloadPercentPosition(0, 0), 0);
}

}  // namespace
