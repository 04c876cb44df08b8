// Which archive entry names are created below the destination, and as which
// relative path: traversal, device names, names Windows would change.
#include "TarEntryPath.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string PathOf(const std::string& name, size_t capacity = 256) {
    char path[4096];
    return MakeEntryPath(name.c_str(), path, capacity) ? path : "<refused>";
}

TEST(TarEntryPath, ComponentsJoinedWithBackslashes) {
    EXPECT_EQ(PathOf("bin/client/jvm.dll"), "bin\\client\\jvm.dll");
    EXPECT_EQ(PathOf("bin\\java.exe"), "bin\\java.exe");
    EXPECT_EQ(PathOf("bin/"), "bin");
    EXPECT_EQ(PathOf("./bin//x/./y"), "bin\\x\\y");
    EXPECT_EQ(PathOf("."), "");
    EXPECT_EQ(PathOf("./"), "");
    EXPECT_EQ(PathOf(""), "");
    for (const char* kept : {"a..b", "..a", ".hidden", "a b", "lib/ext/localedata.jar", "caf\xc3\xa9/\xe6\x97\xa5.txt",
                             "conf/security/java.policy", "console", "com10", "lpt", "com0", "auxiliary.txt", "nul-x"})
        EXPECT_NE(PathOf(kept), "<refused>") << kept;
}

TEST(TarEntryPath, NamesThatWouldLeaveTheDestinationAreRefused) {
    for (const char* name : {"/abs.txt", "\\abs.txt", "\\\\server\\share\\x", "//server/share/x", "C:\\x", "C:x",
                             "c:", "bin/x:stream", "..", "../x", "..\\x", "bin/../../x", "bin/..", ".. /x", "...",
                             ".../x", "bin/. ./x", "\\\\?\\C:\\x", "\\??\\C:\\x"})
        EXPECT_EQ(PathOf(name), "<refused>") << name;
}

TEST(TarEntryPath, ComponentsWindowsWouldChangeOrRefuseAreRefused) {
    for (const char* name : {"a.", "bin./x", "a ", "bin /x", " ", ". ", "a\tb", "a\nb", "a<b", "a>b", "a\"b", "a|b",
                             "a?b", "a*b", "\x01x"})
        EXPECT_EQ(PathOf(name), "<refused>") << name;
}

TEST(TarEntryPath, DeviceNamesInAnyComponentAreRefused) {
    for (const char* name : {"CON", "con", "PRN", "aux.txt", "NUL", "nul.tar.gz", "bin/con.txt", "COM1", "com9.log",
                             "LPT1", "lpt9", "CONIN$", "conout$", "coNOut$.x", "AUX/x.txt", "a/b/Lpt5/c", "con .txt",
                             "COM\xc2\xb9", "lpt\xc2\xb2.txt", "COM\xc2\xb3",
                             // the same superscripts as Windows-1252 bytes (names that are no UTF-8)
                             "COM\xb9", "lpt\xb2.txt", "sub/Com\xb3/x"})
        EXPECT_EQ(PathOf(name), "<refused>") << name;
}

TEST(TarEntryPath, IsDeviceNameLooksAtTheBaseName) {
    auto device = [](const char* component) { return IsDeviceName(component, strlen(component)); };
    EXPECT_TRUE(device("prn"));
    EXPECT_TRUE(device("Aux.h"));
    EXPECT_TRUE(device("com7.a.b"));
    EXPECT_TRUE(device("NUL  .txt"));
    EXPECT_FALSE(device("nul_"));
    EXPECT_FALSE(device("xcon"));
    EXPECT_FALSE(device("com"));
    EXPECT_FALSE(device("com\xc2\xb4"));  // an acute accent is no superscript digit
    EXPECT_FALSE(device("com\xb4"));
    EXPECT_FALSE(device(".con"));
    EXPECT_FALSE(device(""));
}

TEST(TarEntryPath, APathThatDoesNotFitIsRefused) {
    EXPECT_EQ(PathOf("abc/def", 8), "abc\\def");
    EXPECT_EQ(PathOf("abc/defg", 8), "<refused>");
    EXPECT_EQ(PathOf("abc", 3), "<refused>");
    char path[1];
    EXPECT_FALSE(MakeEntryPath("x", path, 0));
}

}  // namespace
