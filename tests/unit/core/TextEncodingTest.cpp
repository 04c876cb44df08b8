// Windows-1252 decoding of configured texts, and the names of payload
// folders that a later start may remove.
#include <gtest/gtest.h>

#include "Cp1252.h"
#include "PathText.h"

namespace {

TEST(Cp1252Table, HighBytesAreTheirCharactersNotTheSameCodePoint) {
    EXPECT_EQ(Cp1252Character(0x80), u'\u20AC');  // euro sign
    EXPECT_EQ(Cp1252Character(0x8A), u'\u0160');
    EXPECT_EQ(Cp1252Character(0x9F), u'\u0178');
    EXPECT_EQ(Cp1252Character(0x81), u'\u0081');  // unassigned: as Windows maps it
    EXPECT_EQ(Cp1252Character(0xE9), u'\u00E9');
    EXPECT_EQ(Cp1252Character('A'), u'A');
}

TEST(Cp1252Table, DecodesIntoABoundedBuffer) {
    WideUnit out[7];
    EXPECT_TRUE(DecodeCp1252("\x80 caf\xE9", out, 7));
    EXPECT_EQ(out[0], WideUnit(0x20AC));
    EXPECT_EQ(out[5], WideUnit(0xE9));
    EXPECT_EQ(out[6], WideUnit(0));
    EXPECT_FALSE(DecodeCp1252("\x80 caf\xE9", out, 6));  // 6 characters need 7 units
    EXPECT_EQ(out[4], WideUnit('f'));
    EXPECT_EQ(out[5], WideUnit(0));
    EXPECT_TRUE(DecodeCp1252("", out, 1));
    EXPECT_EQ(out[0], WideUnit(0));
}

TEST(IsPayloadFolderPath, OnlyFullPathsToFoldersNamedAsTheLauncherNamesThem) {
    EXPECT_TRUE(IsPayloadFolderPath("C:\\users\\me\\Temp\\ksl1A2F.tmp_dir31337"));
    EXPECT_TRUE(IsPayloadFolderPath("c:\\t\\KSL7.TMP_DIR0"));
    EXPECT_TRUE(IsPayloadFolderPath("\\\\server\\share\\ksl0.tmp_dir9"));
    for (const char* path : {"ksl1.tmp_dir2", "\"C:\\t\\ksl1.tmp_dir2\"", "C:\\", "C:\\t\\ksl1.tmp_dir2\\",
                             "C:\\t\\ksl1.tmp_dir2\\..", "C:\\t\\ksl1.tmp_dir", "C:\\t\\ksl.tmp_dir2",
                             "C:\\t\\kslx.tmp_dir2", "C:\\t\\ksl1.tmp_dir2x", "C:\\t\\ksl1.tmp", "C:\\t\\other"})
        EXPECT_FALSE(IsPayloadFolderPath(path)) << path;
}

}  // namespace
