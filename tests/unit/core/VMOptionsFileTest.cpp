// The ".vmoptions" file: one option per line in text mode, line ends
// removed, everything else kept, long lines cut into 8191-character options.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "VMOptionsFile.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

// Writes `content` to a file as bytes and reads it back in text mode, as
// the launcher opens the options file. The name carries the process id:
// CTest runs the tests of this file in parallel processes.
std::vector<std::string> Options(const std::string& content) {
    char name[64];
    snprintf(name, sizeof name, "vmoptions-test-%lu.tmp", (unsigned long)getpid());
    FILE* out = fopen(name, "wb");
    EXPECT_NE(out, nullptr);
    fwrite(content.data(), 1, content.size(), out);
    fclose(out);
    FILE* in = fopen(name, "rt");
    StringList list;
    EXPECT_TRUE(ReadVMOptionLines(in, list));
    fclose(in);
    remove(name);
    std::vector<std::string> options;
    for (size_t i = 0; i < list.Count(); ++i) options.push_back(list.At(i));
    return options;
}

using Texts = std::vector<std::string>;

TEST(VMOptionsFile, LineEndsOfEveryKindGiveTheSameOptions) {
    Texts expected{"-Xmx64m", "-Dx=1"};
    EXPECT_EQ(Options("-Xmx64m\r\n-Dx=1\r\n"), expected);
    EXPECT_EQ(Options("-Xmx64m\n-Dx=1\n"), expected);
    EXPECT_EQ(Options("-Xmx64m\n-Dx=1"), expected);
    EXPECT_EQ(Options("-Xmx64m\r\r\n-Dx=1\r"), expected);
}

TEST(VMOptionsFile, LinesAreTakenVerbatim) {
    EXPECT_EQ(Options("-Da\n\n-Db\n"), (Texts{"-Da", "", "-Db"}));
    EXPECT_EQ(Options("# not a comment\n  -Dx=1 \t\n\"-Dq\"\n"), (Texts{"# not a comment", "  -Dx=1 \t", "\"-Dq\""}));
    EXPECT_EQ(Options(""), Texts{});
    EXPECT_EQ(Options("\n"), Texts{""});
}

#ifdef _WIN32
// Windows' C runtime ends a text-mode file at the byte 0x1A; a native build
// has no text mode.
TEST(VMOptionsFile, EndOfFileByteEndsTheFile) {
    EXPECT_EQ(Options("-Da\n-Db\x1a-Dc\n"), (Texts{"-Da", "-Db"}));
}
#endif

TEST(VMOptionsFile, LongLinesAreCutIntoConsecutiveOptions) {
    std::string line(9000, 'x');
    Texts options = Options("-Da\n" + line + "\n-Db\n");
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[1], std::string(8191, 'x'));
    EXPECT_EQ(options[2], std::string(9000 - 8191, 'x'));
    EXPECT_EQ(options[3], "-Db");
}

TEST(VMOptionsFile, ALineOfExactlyTheLimitIsOneOption) {
    std::string line(8191, 'y');
    EXPECT_EQ(Options(line + "\r\n-Db\r\n"), (Texts{line, "-Db"}));
    EXPECT_EQ(Options(line), Texts{line});
    // Twice the limit, then a blank line: two full options and the empty one.
    std::string full(8191, 'z');
    EXPECT_EQ(Options(full + full + "\n\n"), (Texts{full, full, ""}));
}

// Long options shown by their lengths and last characters, not in full.
std::string Shape(const Texts& options) {
    std::string shape;
    for (const std::string& option : options)
        shape += std::to_string(option.size()) + (option.empty() ? "" : ":" + std::to_string(int(option.back()))) + " ";
    return shape;
}

// Only the CR and LF characters that end a line are removed, wherever the
// line is cut into options.
TEST(VMOptionsFile, ACarriageReturnInsideALineIsKeptAtTheCut) {
    std::string head(8190, 'x');
    Texts expected{head + "\r", "yyy", "-Db"};
    Texts options = Options(head + "\ryyy\n-Db\n");
    EXPECT_TRUE(options == expected) << Shape(options);
    expected = {head + "\r", "\ryyy"};
    options = Options(head + "\r\ryyy");
    EXPECT_TRUE(options == expected) << Shape(options);
}

TEST(VMOptionsFile, LineEndsAcrossTheCutGiveNoExtraOption) {
    std::string full(8191, 'z');
    for (const std::string& line : {std::string(8190, 'x'), std::string(8190 + 8191, 'x'), full, full + full}) {
        Texts cut;
        for (size_t at = 0; at < line.size(); at += 8191) cut.push_back(line.substr(at, 8191));
        Texts withNext = cut;
        withNext.push_back("-Db");
        for (const char* end : {"\r\r\n", "\r\n", "\n"}) {
            Texts options = Options(line + end + "-Db\n");
            EXPECT_TRUE(options == withNext) << line.size() << " " << strlen(end) << ": " << Shape(options);
        }
        Texts options = Options(line + "\r\r");  // the last line, without LF
        EXPECT_TRUE(options == cut) << line.size() << ": " << Shape(options);
    }
}

}  // namespace
