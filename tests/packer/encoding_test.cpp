// Text encodings of launcher values: Windows-1252 for narrow records, UTF-16LE
// for wide ones, and the printf conversions of configured formats.
#include <gtest/gtest.h>

#include "cp1252.h"
#include "pack_error.h"
#include "printf_format.h"
#include "test_support.h"
#include "utf.h"

namespace kestrel {
namespace {

using testing::hex_bytes;

TEST(Cp1252, EncodesLatin1AndTheHighControlRange) {
    EXPECT_EQ(utf8_to_cp1252("A\u20AC\u201A\u0160\u2018\u2122\u0178"), hex_bytes("41 80 82 8A 91 99 9F"));
    EXPECT_EQ(utf8_to_cp1252("\u00A0\u00E9\u00FF"), hex_bytes("A0 E9 FF"));
}

TEST(Cp1252, DecodingAndEncodingAreInverseForEveryAssignedByte) {
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D) continue;
        const std::string original(1, static_cast<char>(byte));
        EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(original)), original) << "byte " << byte;
    }
}

TEST(Cp1252, RejectsCharactersOutsideThePageByName) {
    for (const char* text : {"\u4E2D", "\u0100", "\u0081", "ok \U0001F600"}) {
        EXPECT_THROW(utf8_to_cp1252(text), PackError) << text;
    }
    try {
        utf8_to_cp1252("caf\u00E9 \u4E2D");
        FAIL() << "no error";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find("U+4E2D"), std::string::npos) << error.what();
    }
}

TEST(Cp1252, FoldsCaseOfAllLettersOfThePage) {
    EXPECT_EQ(cp1252_fold_case(utf8_to_cp1252("AZ\u00C9\u00DE\u0160\u0152\u017D\u0178\u00D7az")),
              utf8_to_cp1252("az\u00E9\u00FE\u0161\u0153\u017E\u00FF\u00D7az"));
}

TEST(Utf16, EncodesBmpAndSurrogatePairsLittleEndian) {
    EXPECT_EQ(utf8_to_utf16le("A\u20AC\U0001F600"), hex_bytes("41 00 AC 20 3D D8 00 DE"));
    EXPECT_EQ(utf8_to_utf16le("\U0010FFFF"), hex_bytes("FF DB FF DF"));
    EXPECT_EQ(utf16le_to_utf8(utf8_to_utf16le("A\u20AC\U0001F600")), "A\u20AC\U0001F600");
}

TEST(Utf8, RejectsMalformedSequences) {
    for (const char* bytes : {"80", "C0 80", "E2 82", "ED A0 80", "F4 90 80 80", "C3 41"}) {
        EXPECT_THROW(decode_utf8(hex_bytes(bytes)), PackError) << bytes;
    }
}

TEST(PrintfFormat, ListsTheArgumentKindsInOrder) {
    EXPECT_EQ(printf_argument_kinds("%.2f MB of %.2f MB (%.1f%%) at %.1f kB/s"), "ffff");
    EXPECT_EQ(printf_argument_kinds("from %S to %-10S"), "SS");
    EXPECT_EQ(printf_argument_kinds("%5.1lf %*d %s %I64u"), "f*dsu");
    EXPECT_EQ(printf_argument_kinds("100%% done"), "");
    EXPECT_THROW(printf_argument_kinds("50 %"), PackError);
}

}  // namespace
}  // namespace kestrel
