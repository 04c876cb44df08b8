// Parsing of configuration blocks from memory: layout, damaged blocks and
// the decimal conversion of values.
#include "ConfigParser.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class MemorySource : public BlockSource {
public:
    explicit MemorySource(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    uint32_t Read(void* buffer, uint32_t count) override {
        uint32_t n = uint32_t(std::min<size_t>(count, bytes_.size() - position_));
        memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return n;
    }
    uint64_t Remaining() const override { return bytes_.size() - position_; }
    size_t Position() const { return position_; }

private:
    std::vector<unsigned char> bytes_;
    size_t position_ = 0;
};

// Little helper to write block bytes.
struct Bytes {
    std::vector<unsigned char> data;
    Bytes& Int(int32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    Bytes& Text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Narrow(int32_t key, const std::string& s) { return Int(key).Int(int32_t(s.size())).Text(s); }
};

std::string Narrow(const LauncherConfig& config, int32_t key) {
    size_t length = 0;
    const char* value = static_cast<const char*>(config.narrow.Find(key, &length));
    return value ? std::string(value, length) : "<absent>";
}

BlockError Parse(const Bytes& bytes, LauncherConfig& config, size_t* end = nullptr) {
    MemorySource source(bytes.data);
    BlockError error = ParseConfigBlock(source, config);
    if (end) *end = source.Position();
    return error;
}

TEST(ConfigParser, EmptyBlockEndsTwelveBytesIn) {
    LauncherConfig config;
    size_t end = 0;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(0).Int(0).Text("payload");
    EXPECT_EQ(Parse(bytes, config, &end), BlockError::None);
    EXPECT_EQ(end, 12u);
    EXPECT_EQ(Narrow(config, 107), "<absent>");
}

TEST(ConfigParser, ReadsNarrowAndWideRecordsIntoSeparateKeySpaces) {
    LauncherConfig config;
    size_t end = 0;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(2).Narrow(107, "1").Narrow(122, "com.example.Main");
    bytes.Int(1).Int(107).Int(4).Text(std::string("h\0\xe9\0", 4));
    ASSERT_EQ(Parse(bytes, config, &end), BlockError::None);
    EXPECT_EQ(end, bytes.data.size());
    EXPECT_EQ(Narrow(config, 122), "com.example.Main");
    EXPECT_EQ(Narrow(config, 107), "1");
    size_t units = 0;
    const WideUnit* wide = static_cast<const WideUnit*>(config.wide.Find(107, &units));
    ASSERT_NE(wide, nullptr);
    ASSERT_EQ(units, 2u);
    EXPECT_EQ(wide[0], WideUnit('h'));
    EXPECT_EQ(wide[1], WideUnit(0xE9));
    EXPECT_EQ(wide[2], WideUnit(0));
    EXPECT_EQ(config.wide.Find(122, nullptr), nullptr);
}

TEST(ConfigParser, LaterDuplicateWinsAndEmptyValueIsPresent) {
    LauncherConfig config;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(4).Narrow(5, "first").Narrow(3, "").Narrow(5, "second");
    bytes.Narrow(-7, "negative key").Int(0);
    ASSERT_EQ(Parse(bytes, config), BlockError::None);
    EXPECT_EQ(Narrow(config, 5), "second");
    EXPECT_EQ(Narrow(config, 3), "");
    EXPECT_EQ(Narrow(config, -7), "negative key");
}

TEST(ConfigParser, NegativeCountsMeanNoRecords) {
    LauncherConfig config;
    size_t end = 0;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(-3).Int(-1).Text("rest");
    EXPECT_EQ(Parse(bytes, config, &end), BlockError::None);
    EXPECT_EQ(end, 12u);
}

TEST(ConfigParser, OddWideLengthDropsTheLoneByteAndKeepsTheNextRecordInPlace) {
    LauncherConfig config;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(0).Int(2);
    bytes.Int(1).Int(3).Text(std::string("a\0b", 3));
    bytes.Int(2).Int(2).Text(std::string("c\0", 2));
    ASSERT_EQ(Parse(bytes, config), BlockError::None);
    size_t units = 0;
    const WideUnit* first = static_cast<const WideUnit*>(config.wide.Find(1, &units));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(units, 1u);
    EXPECT_EQ(first[0], WideUnit('a'));
    const WideUnit* second = static_cast<const WideUnit*>(config.wide.Find(2, &units));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second[0], WideUnit('c'));
}

TEST(ConfigParser, DamagedBlocksReportTheirFailure) {
    struct Case {
        const char* name;
        Bytes bytes;
        BlockError expected;
    };
    std::vector<Case> cases;
    cases.push_back({"wrong magic", Bytes().Int(0x12345678).Int(0).Int(0), BlockError::Magic});
    cases.push_back({"no bytes at all", Bytes(), BlockError::ReadInt});
    cases.push_back({"magic cut short", Bytes().Text("\xd5\x13"), BlockError::ReadInt});
    cases.push_back({"narrow count missing", Bytes().Int(int32_t(ConfigMagic)), BlockError::ReadInt});
    cases.push_back({"narrow record missing", Bytes().Int(int32_t(ConfigMagic)).Int(1), BlockError::ReadInt});
    cases.push_back({"narrow length missing", Bytes().Int(int32_t(ConfigMagic)).Int(1).Int(7), BlockError::ReadInt});
    cases.push_back({"narrow value truncated",
                     Bytes().Int(int32_t(ConfigMagic)).Int(1).Int(7).Int(10).Text("short"), BlockError::ReadString});
    cases.push_back({"negative narrow length",
                     Bytes().Int(int32_t(ConfigMagic)).Int(1).Int(7).Int(-1).Int(0), BlockError::ReadString});
    cases.push_back({"huge narrow length",
                     Bytes().Int(int32_t(ConfigMagic)).Int(1).Int(7).Int(0x7FFFFFFF).Int(0), BlockError::ReadString});
    cases.push_back({"wide count missing", Bytes().Int(int32_t(ConfigMagic)).Int(0), BlockError::ReadInt});
    cases.push_back({"wide value truncated",
                     Bytes().Int(int32_t(ConfigMagic)).Int(0).Int(1).Int(9).Int(8).Text("ab"), BlockError::ReadWString});
    cases.push_back({"negative wide length",
                     Bytes().Int(int32_t(ConfigMagic)).Int(0).Int(1).Int(9).Int(-2), BlockError::ReadWString});
    for (const Case& c : cases) {
        LauncherConfig config;
        EXPECT_EQ(Parse(c.bytes, config), c.expected) << c.name;
    }
}

TEST(ConfigParser, RecordsBeforeAFailureStayInTheStore) {
    LauncherConfig config;
    Bytes bytes;
    bytes.Int(int32_t(ConfigMagic)).Int(2).Narrow(1000, "Caption").Int(7).Int(50).Text("cut");
    EXPECT_EQ(Parse(bytes, config), BlockError::ReadString);
    EXPECT_EQ(Narrow(config, 1000), "Caption");
}

TEST(ConfigParser, ErrorTextsAreTheFixedInternalMessages) {
    EXPECT_STREQ(BlockErrorText(BlockError::Magic), "Internal Error: magic");
    EXPECT_STREQ(BlockErrorText(BlockError::ReadInt), "Internal Error: readInt");
    EXPECT_STREQ(BlockErrorText(BlockError::ReadString), "Internal Error: readString");
    EXPECT_STREQ(BlockErrorText(BlockError::ReadWString), "Internal Error: readWString");
}

TEST(ConfigParser, IntegerConversion) {
    EXPECT_EQ(ParseConfigInt("29245440"), 29245440);
    EXPECT_EQ(ParseConfigInt(" 12abc"), 12);
    EXPECT_EQ(ParseConfigInt("\t-5"), -5);
    EXPECT_EQ(ParseConfigInt("+7"), 7);
    EXPECT_EQ(ParseConfigInt("abc"), 0);
    EXPECT_EQ(ParseConfigInt(""), 0);
    EXPECT_EQ(ParseConfigInt("- 5"), 0);
    EXPECT_EQ(ParseConfigInt("2147483647"), 2147483647);
}

TEST(ConfigTable, KeepsKeysSortedWhateverTheInsertionOrder) {
    ConfigTable table;
    const int32_t keys[] = {50, -3, 20001, 0, 7, 107};
    for (int32_t key : keys) {
        char* value = static_cast<char*>(malloc(8));
        snprintf(value, 8, "%d", int(key));
        ASSERT_TRUE(table.Put(key, value, strlen(value)));
    }
    for (int32_t key : keys) {
        const char* value = static_cast<const char*>(table.Find(key, nullptr));
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(ParseConfigInt(value), key);
    }
    EXPECT_EQ(table.Find(8, nullptr), nullptr);
}

}  // namespace
