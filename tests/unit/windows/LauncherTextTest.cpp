// Text helpers of the launcher: deletion-list entries, window centring
// arithmetic, bounded formatting and code-page conversions.
#include <gtest/gtest.h>

#include <string>

#include "CenterWindow.h"
#include "DeletionList.h"
#include "CodePages.h"
#include "TextFormat.h"

TEST(DeletionList, AppendsWholeEntriesOnly) {
    char list[32] = "";
    EXPECT_TRUE(AppendListEntry(list, sizeof list, "C:\\t\\a.jar"));
    EXPECT_TRUE(AppendListEntry(list, sizeof list, "C:\\t"));
    EXPECT_STREQ(list, "C:\\t\\a.jar;C:\\t;");
    // 16 bytes used; "0123456789abcde" + ';' + NUL would need 33.
    EXPECT_FALSE(AppendListEntry(list, sizeof list, "0123456789abcde"));
    EXPECT_STREQ(list, "C:\\t\\a.jar;C:\\t;");
    EXPECT_TRUE(AppendListEntry(list, sizeof list, "0123456789abcd"));
    EXPECT_EQ(strlen(list), 31u);
    EXPECT_FALSE(AppendListEntry(list, sizeof list, "x"));
}

TEST(DeletionList, RefusesPathsThatCannotBeSplitBackOut) {
    char list[32] = "";
    EXPECT_FALSE(AppendListEntry(list, sizeof list, "a;b"));
    EXPECT_FALSE(AppendListEntry(list, sizeof list, ""));
    EXPECT_STREQ(list, "");
}

TEST(CenteredPosition, CentresAndTruncatesTowardsZero) {
    RECT parent = {100, 50, 301, 151};  // 201 x 101
    POINT corner = CenteredPosition(parent, 100, 50);
    EXPECT_EQ(corner.x, 150);
    EXPECT_EQ(corner.y, 75);
    RECT small = {10, 10, 30, 30};  // a window larger than its parent
    corner = CenteredPosition(small, 41, 41);
    EXPECT_EQ(corner.x, 0);  // 10 + (20 - 41) / 2, truncated towards zero
    EXPECT_LT(corner.y, 10);
}

TEST(FormatText, TerminatesAndReportsWhetherTheTextFit) {
    char out[8];
    EXPECT_TRUE(FormatText(out, sizeof out, "%s-%d", "ab", 42));
    EXPECT_STREQ(out, "ab-42");
    EXPECT_TRUE(FormatText(out, sizeof out, "%s", "1234567"));  // exactly full
    EXPECT_STREQ(out, "1234567");
    EXPECT_FALSE(FormatText(out, sizeof out, "%s", "12345678"));  // one too long
    EXPECT_STREQ(out, "1234567");
    EXPECT_FALSE(FormatText(out, sizeof out, "%d%d", 1234, 56789));
    EXPECT_EQ(strlen(out), 7u);
}

TEST(CodePages, ConfiguredWindows1252TextsReachJavaAsTheirCharacters) {
    ASSERT_EQ(GetACP(), 1252u);  // Wine under LANG=C.UTF-8, like a Western Windows
    char ansi[8];
    EXPECT_TRUE(Cp1252ToAnsi("\x80 \xE9", ansi, sizeof ansi));
    EXPECT_STREQ(ansi, "\x80 \xE9");
    WideStringList wide;
    ASSERT_TRUE(AppendWideText(wide, ansi));
    EXPECT_STREQ(wide.At(0), L"\u20AC \u00E9");
    // Characters the ANSI page lacks become its default character.
    StringList narrow;
    ASSERT_TRUE(AppendAnsiText(narrow, L"-Dx=\u20AC\u03A9"));
    EXPECT_STREQ(narrow.At(0), "-Dx=\x80?");
    // A result that does not fit keeps the configured bytes, cut.
    EXPECT_FALSE(Cp1252ToAnsi("\x80 \xE9 long", ansi, sizeof ansi));
    EXPECT_STREQ(ansi, "\x80 \xE9 lon");
}
