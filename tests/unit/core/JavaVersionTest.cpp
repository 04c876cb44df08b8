// Java version texts: the bounds test (textual, prefix-bounded), the lenient
// registry key test, the beta rule, and the parse of the "-version" line.
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

}  // namespace
