// Variable references in configured texts: the launcher variables in their
// fixed order, environment references in block order with exact and
// upper-case spellings, and texts that would outgrow their buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "VariableExpansion.h"

namespace {

// An environment block from "name=value" entries.
std::string Block(std::initializer_list<const char*> entries) {
    std::string block;
    for (const char* entry : entries) block.append(entry).push_back('\0');
    block.push_back('\0');
    return block;
}

std::string Expanded(const char* text, const std::string& environment = Block({}),
                     const char* payload = "C:\\temp\\ksl1\\") {
    char buffer[8192];
    strcpy(buffer, text);
    ExpandReferences(buffer, sizeof buffer, {"c:\\app\\", payload, environment.c_str()});
    return buffer;
}

std::string Replaced(const char* text, const char* pattern, const char* value, size_t capacity = 64) {
    char buffer[64];
    strcpy(buffer, text);
    ReplaceAll(buffer, capacity, pattern, value);
    return buffer;
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutRescanningTheValue) {
    EXPECT_EQ(Replaced("a-X-b-X", "X", "yy"), "a-yy-b-yy");
    EXPECT_EQ(Replaced("${A}", "${A}", "<${A}>"), "<${A}>");
    EXPECT_EQ(Replaced("${A}${A}", "${A}", "${A}${A}"), "${A}${A}${A}${A}");
    EXPECT_EQ(Replaced("XXX", "XX", ""), "X");
    EXPECT_EQ(Replaced("", "X", "y"), "");
    EXPECT_EQ(Replaced("abc", "", "y"), "abc");
}

TEST(ReplaceAll, LeavesAnOccurrenceThatWouldNotFitAsWritten) {
    // Capacity 10: "ab" + 7 characters + terminator fits exactly, one more does not.
    EXPECT_EQ(Replaced("abX", "X", "1234567", 10), "ab1234567");
    EXPECT_EQ(Replaced("abX", "X", "12345678", 10), "abX");
    EXPECT_EQ(Replaced("XaX", "X", "12345", 10), "12345aX");
}

TEST(ExpandVariables, LauncherVariablesInBothFormsAndPrefixes) {
    EXPECT_EQ(Expanded("%KESTREL_EXEDIR%lib|${TANAGER_EXEDIR}"), "c:\\app\\lib|c:\\app\\");
    EXPECT_EQ(Expanded("${KESTREL_TEMPDIR}|%TANAGER_TEMPDIR%"), "C:\\temp\\ksl1\\|C:\\temp\\ksl1\\");
    EXPECT_EQ(Expanded("a%KESTREL_PATHLIST_SEPARATOR%b${TANAGER_PATHLIST_SEPARATOR}c"), "a;b;c");
    EXPECT_EQ(Expanded("%TANAGER_PATHLIST_SEPARATOR%${KESTREL_PATHLIST_SEPARATOR}"), ";;");
    EXPECT_EQ(Expanded("${KESTREL_EXEDIR}\\x ${KESTREL_EXEDIR}"), "c:\\app\\\\x c:\\app\\");
    EXPECT_EQ(Expanded("${KESTREL_TEMPDIR}x", Block({}), ""), "x");
    EXPECT_EQ(Expanded(""), "");
}

TEST(ExpandVariables, MatchingIsExactAndCaseSensitive) {
    EXPECT_EQ(Expanded("%kestrel_exedir% ${kestrel_exedir} %KESTREL_EXEDIR"),
              "%kestrel_exedir% ${kestrel_exedir} %KESTREL_EXEDIR");
    // Environment variables only in the brace form.
    EXPECT_EQ(Expanded("%HOME% ${HOME}", Block({"HOME=C:\\users\\me"})), "%HOME% C:\\users\\me");
}

TEST(ExpandVariables, EnvironmentNamesExpandAsSpeltOrInUpperCase) {
    std::string block = Block({"Path=C:\\bin", "lower=v"});
    EXPECT_EQ(Expanded("${Path}|${PATH}|${path}", block), "C:\\bin|C:\\bin|${path}");
    EXPECT_EQ(Expanded("${lower}|${LOWER}|${Lower}", block), "v|v|${Lower}");
    EXPECT_EQ(Expanded("${UNDEFINED} stays", block), "${UNDEFINED} stays");
}

TEST(ExpandVariables, LaterReferencesScanEarlierValues) {
    // A value holding a reference to a variable later in the block expands;
    // one holding a launcher variable does not (those were handled first).
    std::string block = Block({"A=[${B}]", "B=b", "C=%KESTREL_EXEDIR%"});
    EXPECT_EQ(Expanded("${A} ${C}", block), "[b] %KESTREL_EXEDIR%");
    // A reference to a variable earlier in the block stays.
    EXPECT_EQ(Expanded("${B2}", Block({"A2=a", "B2=${A2}"})), "${A2}");
    // An environment value that spells a launcher variable in the brace form
    // is not expanded either.
    EXPECT_EQ(Expanded("${X}", Block({"X=${KESTREL_TEMPDIR}"})), "${KESTREL_TEMPDIR}");
}

TEST(ExpandVariables, EntriesWithoutANameOrSeparatorArePassedOver) {
    std::string block = Block({"=C:=C:\\work", "NOEQUALS", "EMPTY=", "EQ=a=b"});
    EXPECT_EQ(Expanded("${}|${NOEQUALS}|${EMPTY}|${EQ}", block), "${}|${NOEQUALS}||a=b");
}

TEST(ExpandVariables, AValueLongerThanTheBufferLeavesTheReference) {
    std::string big(9000, 'v');
    std::string entry = "BIG=" + big;
    std::string block = Block({entry.c_str(), "SMALL=s"});
    EXPECT_EQ(Expanded("${BIG} ${SMALL}", block), "${BIG} s");
}

}  // namespace
