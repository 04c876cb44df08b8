// Text helpers of the launcher: the command-line tail, deletion-list
// entries and window centring arithmetic.
#include <gtest/gtest.h>

#include <string>

#include "CenterWindow.h"
#include "DeletionList.h"
#include "LauncherMain.h"
#include "TextFormat.h"

TEST(CommandLineTail, SkipsTheProgramNameQuotedOrNot) {
    EXPECT_STREQ(CommandLineTail("\"C:\\my dir\\app.exe\" -q x"), "-q x");
    EXPECT_STREQ(CommandLineTail("app.exe\t  a b"), "a b");
    EXPECT_STREQ(CommandLineTail("  \t app.exe -manual"), "-manual");
    EXPECT_STREQ(CommandLineTail("app.exe"), "");
    EXPECT_STREQ(CommandLineTail("\"unterminated name"), "");
    EXPECT_STREQ(CommandLineTail("\"a\"b c"), "b c");
    EXPECT_STREQ(CommandLineTail(""), "");
}

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
