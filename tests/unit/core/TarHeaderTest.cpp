// Tar header blocks: octal fields, checksums, magic, types, names with the
// ustar prefix, padding and the progress figure.
#include "TarHeader.h"

#include <gtest/gtest.h>

#include <string>

#include "TarTestArchive.h"

namespace {

using namespace tartest;

uint64_t Octal(const char* field, size_t width) {
    uint64_t value = 12345;
    return ParseOctalField(field, width, &value) ? value : ~0ull;
}
constexpr uint64_t Refused = ~0ull;

TEST(ParseOctalField, ExamplesOfTheFormat) {
    EXPECT_EQ(Octal("00000001750 ", 12), 1000u);
    EXPECT_EQ(Octal("     17", 7), 15u);
    EXPECT_EQ(Octal("00000000000\0", 12), 0u);
    EXPECT_EQ(Octal("            ", 12), 0u);
    EXPECT_EQ(Octal("\0\0\0\0", 4), 0u);
    EXPECT_EQ(Octal("1750", 2), 15u);  // the width ends the field
    EXPECT_EQ(Octal("17\0 \0", 5), 15u);
}

TEST(ParseOctalField, SizesPast32BitsCount) {
    EXPECT_EQ(Octal("17777777777", 11), 0x7FFFFFFFu);
    EXPECT_EQ(Octal("37777777777", 11), 0xFFFFFFFFu);
    EXPECT_EQ(Octal("77777777777", 11), 8589934591u);  // the largest size field
    EXPECT_EQ(Octal("777777777777777777777", 21), 0x7FFFFFFFFFFFFFFFu);
    EXPECT_EQ(Octal("1000000000000000000000", 22), Refused);  // 2^63
}

TEST(ParseOctalField, GarbageIsRefused) {
    for (const char* field : {"9", "18", "0 0107", "12x", "-1", "1 2", "\x80\x01"})
        EXPECT_EQ(Octal(field, strlen(field)), Refused) << field;
}

TarBlockKind Read(const std::string& block, TarHeaderFields& fields) {
    return ReadTarHeader(reinterpret_cast<const unsigned char*>(block.data()), fields);
}

TEST(TarHeader, FieldsOfAnEntry) {
    TarHeaderFields fields;
    ASSERT_EQ(Read(Header("bin/client/jvm.dll", '0', 1000), fields), TarBlockKind::Header);
    EXPECT_EQ(fields.kind, TarEntryKind::RegularFile);
    EXPECT_EQ(fields.size, 1000u);
    EXPECT_STREQ(fields.name, "bin/client/jvm.dll");

    ASSERT_EQ(Read(Header("bin/", '5', 0, GnuMagic), fields), TarBlockKind::Header);
    EXPECT_EQ(fields.kind, TarEntryKind::Directory);
    EXPECT_STREQ(fields.name, "bin/");

    const std::pair<char, TarEntryKind> kinds[] = {
        {'L', TarEntryKind::LongName},       {'K', TarEntryKind::LongLinkName}, {'x', TarEntryKind::ExtendedHeader},
        {'g', TarEntryKind::GlobalHeader},   {'1', TarEntryKind::Other},        {'2', TarEntryKind::Other},
        {'6', TarEntryKind::Other},          {'7', TarEntryKind::Other},        {'\0', TarEntryKind::Other}};
    for (auto [type, kind] : kinds) {
        ASSERT_EQ(Read(Header("x", type, 12), fields), TarBlockKind::Header) << int(type);
        EXPECT_EQ(fields.kind, kind) << int(type);
        EXPECT_EQ(fields.size, 12u);
    }
}

TEST(TarHeader, ThePrefixFieldLeadsTheNameInThePosixFormOnly) {
    TarHeaderFields fields;
    std::string prefix(155, 'p'), name(100, 'n');
    ASSERT_EQ(Read(Header(name, '0', 0, PosixMagic, prefix), fields), TarBlockKind::Header);
    EXPECT_EQ(std::string(fields.name), prefix + "/" + name);  // both fields full, no NUL in either
    ASSERT_EQ(Read(Header("java.exe", '0', 0, PosixMagic, "jdk/bin"), fields), TarBlockKind::Header);
    EXPECT_STREQ(fields.name, "jdk/bin/java.exe");
    // The GNU form keeps other fields at that offset.
    ASSERT_EQ(Read(Header("java.exe", '0', 0, GnuMagic, "01234567"), fields), TarBlockKind::Header);
    EXPECT_STREQ(fields.name, "java.exe");
}

TEST(TarHeader, ZerosEndTheArchiveAndEverythingElseMustBeAHeader) {
    TarHeaderFields fields;
    EXPECT_EQ(Read(std::string(Block, '\0'), fields), TarBlockKind::EndOfArchive);

    std::string badSum = Header("a", '0', 1);
    badSum[0] = 'b';
    EXPECT_EQ(Read(badSum, fields), TarBlockKind::Damaged);
    EXPECT_EQ(Read(Header("a", '0', 1, "ustaR"), fields), TarBlockKind::Damaged);
    EXPECT_EQ(Read(std::string(Block, 'x'), fields), TarBlockKind::Damaged);
    std::string oneByte(Block, '\0');
    oneByte[511] = 1;
    EXPECT_EQ(Read(oneByte, fields), TarBlockKind::Damaged);

    std::string garbageSize = Header("a", '0', 0);
    memcpy(&garbageSize[124], "0000000008x", 11);
    Seal(garbageSize);
    EXPECT_EQ(Read(garbageSize, fields), TarBlockKind::Damaged);
}

TEST(TarHeader, OldToolsSummedSignedBytes) {
    std::string block = Header("caf\xc3\xa9", '0', 1);
    memset(&block[148], ' ', 8);
    int sum = 0;
    for (char c : block) sum += static_cast<signed char>(c);
    char field[8];
    snprintf(field, sizeof field, "%06o", sum);
    memcpy(&block[148], field, 7);
    TarHeaderFields fields;
    EXPECT_EQ(Read(block, fields), TarBlockKind::Header);
}

TEST(TarHeader, PaddingUpToTheNextBlock) {
    EXPECT_EQ(TarPaddingSize(0), 0u);
    EXPECT_EQ(TarPaddingSize(1), 511u);
    EXPECT_EQ(TarPaddingSize(511), 1u);
    EXPECT_EQ(TarPaddingSize(512), 0u);
    EXPECT_EQ(TarPaddingSize(1000), 24u);
    EXPECT_EQ(TarPaddingSize(0x100000001ull), 511u);
}

TEST(TarHeader, ProgressAgainstTheConfiguredSize) {
    EXPECT_EQ(ExtractionProgress(0, 200), 0);
    EXPECT_EQ(ExtractionProgress(50, 200), 25);
    EXPECT_EQ(ExtractionProgress(199, 200), 99);
    EXPECT_EQ(ExtractionProgress(200, 200), 100);
    EXPECT_EQ(ExtractionProgress(300, 200), 100);  // a configured size that is too small
    EXPECT_EQ(ExtractionProgress(2000000000u, 2100000000), 95);
    EXPECT_EQ(ExtractionProgress(0x280000000ull, 2100000000), 100);  // past 4 GiB
    // Key::ArchiveSize = 0 (or negative): no position at all, no division by zero.
    EXPECT_EQ(ExtractionProgress(100, 0), -1);
    EXPECT_EQ(ExtractionProgress(100, -5), -1);
}

}  // namespace
