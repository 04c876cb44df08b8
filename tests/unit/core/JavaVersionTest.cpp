// Java version texts: the bounds test (textual, prefix-bounded) with the
// reason of a rejection, the lenient registry key test, the beta rule, the
// parse of the "-version" line, and the numeric order of versions.
#include <gtest/gtest.h>

#include <string>

#include "JavaVersion.h"

namespace {

TEST(VersionInRange, BoundsAreComparedOverTheirOwnLength) {
    EXPECT_TRUE(VersionInRange("1.4.2_03", "1.4.2", "", false));
    EXPECT_FALSE(VersionInRange("1.4.1_07", "1.4.2", "", false));
    EXPECT_FALSE(VersionInRange("1.4", "1.4.2", "", false));  // its end sorts below the '.'
    EXPECT_TRUE(VersionInRange("1.4.0", "", "1.4", false));
    EXPECT_TRUE(VersionInRange("1.4.2_03", "", "1.4", false));
    EXPECT_FALSE(VersionInRange("1.5.0", "", "1.4", false));
    EXPECT_TRUE(VersionInRange("1.6.0_45", "1.5", "1.6", false));
    EXPECT_TRUE(VersionInRange("anything", "", "", false));
    EXPECT_TRUE(VersionInRange("", "", "", false));
}

TEST(VersionInRange, ComparisonIsTextualNotNumeric) {
    EXPECT_FALSE(VersionInRange("1.10", "1.4", "", false));
    EXPECT_TRUE(VersionInRange("1.10", "", "1.4", false));
    EXPECT_TRUE(VersionInRange("17.0.9", "1.8", "", false));  // '7' is above '.'
    EXPECT_FALSE(VersionInRange("9", "1.8", "2", false));
}

TEST(VersionInRange, BetaVersionsOnlyWhenAccepted) {
    EXPECT_FALSE(VersionInRange("1.5.0-beta2", "1.4", "", false));
    EXPECT_TRUE(VersionInRange("1.5.0-beta2", "1.4", "", true));
    EXPECT_FALSE(VersionInRange("1.5.0-beta2", "1.6", "", true));  // the range still applies
    EXPECT_TRUE(VersionInRange("1.5.0-Beta2", "1.4", "", false));  // the test is case-sensitive
}

TEST(JudgeVersion, NamesTheFirstRuleThatRejects) {
    EXPECT_EQ(JudgeVersion("1.6.0_45", "1.5", "1.6", false), VersionJudgement::InRange);
    EXPECT_EQ(JudgeVersion("1.4.2", "1.5", "", false), VersionJudgement::BelowMinimum);
    EXPECT_EQ(JudgeVersion("1.7.0", "1.5", "1.6", false), VersionJudgement::AboveMaximum);
    // The beta rule is tested before the bounds.
    EXPECT_EQ(JudgeVersion("1.4.2-beta", "1.5", "", false), VersionJudgement::Beta);
    EXPECT_EQ(JudgeVersion("1.4.2-beta", "1.5", "", true), VersionJudgement::BelowMinimum);
}

TEST(VersionKeyMayMatch, BoundsAreComparedOverTheShorterLength) {
    EXPECT_TRUE(VersionKeyMayMatch("1.4", "1.4.2", ""));  // a 1.4 key may hold 1.4.2
    EXPECT_FALSE(VersionKeyMayMatch("1.3.1", "1.4", ""));
    EXPECT_TRUE(VersionKeyMayMatch("1.4.2", "1.4", ""));
    EXPECT_TRUE(VersionKeyMayMatch("1.5", "", "1.5.0_10"));
    EXPECT_FALSE(VersionKeyMayMatch("1.6", "", "1.5.0_10"));
    EXPECT_TRUE(VersionKeyMayMatch("1.6.0-beta", "", ""));  // no beta rule for key names
    EXPECT_TRUE(VersionKeyMayMatch("", "1.4", "1.5"));
}

std::string Parsed(const char* line) {
    char version[64];
    return ParseVersionLine(line, version, sizeof version) ? version : "<rejected>";
}

TEST(ParseVersionLine, ClassicAndOpenJdkLines) {
    EXPECT_EQ(Parsed("java version \"1.4.2_03\"\n"), "1.4.2_03");
    EXPECT_EQ(Parsed("java version \"1.6.0_45\""), "1.6.0_45");  // no line end
    EXPECT_EQ(Parsed("java version \"21.0.1\" 2023-10-17 LTS\n"), "21.0.1");
    EXPECT_EQ(Parsed("openjdk version \"17.0.9\" 2023-10-17\n"), "17.0.9");
    EXPECT_EQ(Parsed("openjdk version \"1.8.0_392\"\n"), "1.8.0_392");
    EXPECT_EQ(Parsed("java version \"\"\n"), "");
}

TEST(ParseVersionLine, OtherLinesAreRejected) {
    EXPECT_EQ(Parsed("Error: could not find java.dll\n"), "<rejected>");
    EXPECT_EQ(Parsed("java version 1.4.2\n"), "<rejected>");       // no quote
    EXPECT_EQ(Parsed("java version \"1.4.2\n"), "<rejected>");     // no closing quote
    EXPECT_EQ(Parsed(" java version \"1.4.2\"\n"), "<rejected>");  // not at the start
    EXPECT_EQ(Parsed("Java version \"1.4.2\"\n"), "<rejected>");
    EXPECT_EQ(Parsed(""), "<rejected>");
    char small[4];
    EXPECT_FALSE(ParseVersionLine("java version \"1.4.2\"\n", small, sizeof small));
}

TEST(ParseVersionLine, NothingIsWrittenBeyondTheCapacity) {
    char version[8] = "sentry";
    EXPECT_FALSE(ParseVersionLine("java version \"1.4\"\n", version, 0));
    EXPECT_STREQ(version, "sentry");
    EXPECT_FALSE(ParseVersionLine("java version \"1.4\"\n", version, 3));  // "1.4" and its NUL need 4
    EXPECT_TRUE(ParseVersionLine("java version \"1.4\"\n", version, 4));
    EXPECT_STREQ(version, "1.4");
}

int Order(const char* a, const char* b) {
    int order = CompareVersionNumbers(a, b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

TEST(CompareVersionNumbers, NumbersAreComparedOneByOne) {
    EXPECT_EQ(Order("21", "9"), 1);
    EXPECT_EQ(Order("1.8.0_392", "17.0.2"), -1);
    EXPECT_EQ(Order("17.0.10", "17.0.9"), 1);
    EXPECT_EQ(Order("11.0.21+9", "11.0.21+10"), -1);
    EXPECT_EQ(Order("1.8.0_45", "1.8.0_45"), 0);
    EXPECT_EQ(Order("007", "7"), 0);  // leading zeros do not count
    EXPECT_EQ(Order("100000000000000000000", "99999999999999999999"), 1);  // longer than any integer
}

TEST(CompareVersionNumbers, MoreNumbersAreGreaterAndTextOnlySeparates) {
    EXPECT_EQ(Order("21.0.1", "21"), 1);
    EXPECT_EQ(Order("21", "21.0.1"), -1);
    EXPECT_EQ(Order("22-ea", "22"), 0);
    EXPECT_EQ(Order("zulu-17", "17"), 0);
    EXPECT_EQ(Order("", "1"), -1);
    EXPECT_EQ(Order("beta", ""), 0);
}

}  // namespace
