// The version line of a runtime's "release" file: found among the other
// lines, and every text that is not a sound release file refused (the
// runtime is then probed instead).
#include <gtest/gtest.h>

#include <string>

#include "ReleaseFile.h"

namespace {

std::string Parsed(const std::string& text, size_t capacity = 64) {
    char version[64];
    return ParseReleaseVersion(text.data(), text.size(), version, capacity) ? version : "<refused>";
}

TEST(ParseReleaseVersion, TheVersionLineAmongOthers) {
    EXPECT_EQ(Parsed("IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"17.0.9\"\nOS_ARCH=\"x86_64\"\n"), "17.0.9");
    EXPECT_EQ(Parsed("JAVA_VERSION=\"1.8.0_392\"\r\nOS_NAME=\"Windows\"\r\n"), "1.8.0_392");
    EXPECT_EQ(Parsed("JAVA_VERSION=\"22-ea\""), "22-ea");  // no line end
    EXPECT_EQ(Parsed("JAVA_VERSION=\"21\"\nJAVA_VERSION=\"11\"\n"), "21");  // the first line counts
    // Only a line that begins with the key: not a longer key, not indented.
    EXPECT_EQ(Parsed("JAVA_VERSION_DATE=\"2023-10-17\"\n JAVA_VERSION=\"9\"\nJAVA_VERSION=\"17\"\n"), "17");
    EXPECT_EQ(Parsed("\tMODULES=\"java.base\"\nJAVA_VERSION=\"11.0.21\" \n"), "11.0.21");
}

TEST(ParseReleaseVersion, NoSoundVersionLine) {
    EXPECT_EQ(Parsed(""), "<refused>");
    EXPECT_EQ(Parsed("IMPLEMENTOR=\"Azul Systems, Inc.\"\n"), "<refused>");
    EXPECT_EQ(Parsed("JAVA_VERSION=17.0.9\n"), "<refused>");          // no quotes
    EXPECT_EQ(Parsed("JAVA_VERSION=\"17.0.9\nOS=\"x\"\n"), "<refused>");  // quote not closed on its line
    EXPECT_EQ(Parsed("JAVA_VERSION=\"17.0.9"), "<refused>");           // nor at the end of the file
    EXPECT_EQ(Parsed("JAVA_VERSION=\"\"\n"), "<refused>");
    EXPECT_EQ(Parsed("JAVA_VERSION=\"17.0.9\"\n", 6), "<refused>");     // does not fit
    EXPECT_EQ(Parsed("JAVA_VERSION=\"17.0.9\"\n", 7), "17.0.9");
}

TEST(ParseReleaseVersion, BinaryAndHugeFilesAreRefused) {
    EXPECT_EQ(Parsed(std::string("JAVA_VERSION=\"17\"\n\0\x01", 20)), "<refused>");
    EXPECT_EQ(Parsed("JAVA_VERSION=\"17\x7f\"\n"), "<refused>");
    std::string huge = "JAVA_VERSION=\"17\"\n" + std::string(ReleaseFileLimit, '#');
    EXPECT_EQ(Parsed(huge), "<refused>");
    huge.resize(ReleaseFileLimit);
    EXPECT_EQ(Parsed(huge), "17");
}

}  // namespace
