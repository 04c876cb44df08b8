// The configuration block bytes: magic, counts, records in ascending key
// order, the checks made when a block is read back, and the payload records
// behind it.
#include "config_block.h"

#include <gtest/gtest.h>

#include "pack_error.h"
#include "payload.h"
#include "test_support.h"

namespace kestrel {
namespace {

using testing::hex_bytes;

ConfigBlock small_block() {
    ConfigBlock block;
    block.narrow[122] = "M";
    block.narrow[-5] = "";
    block.narrow[107] = "1";
    block.wide[20013] = hex_bytes("41 00 E9 00");
    return block;
}

TEST(ConfigBlock, SerializesRecordsInAscendingKeyOrder) {
    const std::string expected = hex_bytes(
        "D5 13 E4 E8"                             // magic
        " 03 00 00 00"                            // three narrow records
        " FB FF FF FF 00 00 00 00"                // -5, empty
        " 6B 00 00 00 01 00 00 00 31"             // 107 "1"
        " 7A 00 00 00 01 00 00 00 4D"             // 122 "M"
        " 01 00 00 00"                            // one wide record
        " 2D 4E 00 00 04 00 00 00 41 00 E9 00");  // 20013 "Aé"
    EXPECT_EQ(serialize_config_block(small_block()), expected);
}

TEST(ConfigBlock, ReadsBackWhatWasWrittenAndFindsThePayload) {
    const std::string image = "stub" + serialize_config_block(small_block()) + "payload";
    const ParsedBlock parsed = parse_config_block(image, 4);
    EXPECT_EQ(parsed.block.narrow, small_block().narrow);
    EXPECT_EQ(parsed.block.wide, small_block().wide);
    EXPECT_EQ(image.substr(parsed.payload_offset), "payload");
}

TEST(PayloadIndex, FollowsTheNamesOnlyAsFarAsTheCountSays) {
    ConfigBlock block;
    block.narrow[2002] = "2";
    block.narrow[2003] = "a.jar;;empty.txt;extra.txt;";
    const std::string records = hex_bytes("02 00 00 00 4A 4B  00 00 00 00");
    const std::vector<PayloadEntry> entries = read_payload_index("xx" + records, 2, block);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "a.jar");
    EXPECT_EQ(entries[0].size, 2);
    EXPECT_EQ(entries[1].name, "empty.txt");
    EXPECT_EQ(entries[1].size, 0);
    EXPECT_THROW(read_payload_index("xx" + records.substr(0, 5), 2, block), PackError);
}

struct BadBlock {
    const char* name;
    const char* bytes;
    const char* reason;
};

void PrintTo(const BadBlock& value, std::ostream* out) {
    *out << value.name;
}

class BadBlockTest : public ::testing::TestWithParam<BadBlock> {};

TEST_P(BadBlockTest, IsRefusedWithItsReason) {
    try {
        parse_config_block(hex_bytes(GetParam().bytes), 0);
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BadBlockTest,
    ::testing::Values(BadBlock{"Empty", "", "no configuration block"},
                      BadBlock{"WrongMagic", "D5 13 E4 E9 00 00 00 00 00 00 00 00", "wrong magic"},
                      BadBlock{"NoWideCount", "D5 13 E4 E8 00 00 00 00", "wide record count"},
                      BadBlock{"NegativeLength", "D5 13 E4 E8 01 00 00 00 65 00 00 00 FF FF FF FF",
                               "narrow record 101 has the negative length -1"},
                      BadBlock{"ShortValue", "D5 13 E4 E8 01 00 00 00 65 00 00 00 05 00 00 00 41 42",
                               "narrow record 101 value at offset 16 needs 5 bytes"},
                      BadBlock{"OddWideLength", "D5 13 E4 E8 00 00 00 00 01 00 00 00 21 4E 00 00 03 00 00 00 41 00 42",
                               "wide record 20001 has the odd byte length 3"}),
    testing::ParamName());

}  // namespace
}  // namespace kestrel
