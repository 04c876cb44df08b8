// Payload records copied chunk by chunk between real files (run under Wine):
// unscrambling, chunk boundaries, records of length 0 or less, content that
// ends early, and the shape of the payload directory's name.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "ConfigBlock.h"
#include "PayloadExtraction.h"
#include "TestFiles.h"

namespace {

class TempDir {
public:
    TempDir() {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        path_ = std::string(base) + "payload-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter_++);
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempDir() {
        for (const std::string& file : created_) DeleteFileA(file.c_str());
        RemoveDirectoryA(path_.c_str());
    }
    std::string File(const std::string& name) {
        created_.push_back(path_ + "\\" + name);
        return created_.back();
    }

private:
    static int counter_;
    std::string path_;
    std::vector<std::string> created_;
};
int TempDir::counter_ = 0;

void WriteBytes(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
}

HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

std::string Scrambled(const std::string& plain) {
    std::string out = plain;
    for (char& c : out) c = char(c ^ PayloadKey);
    return out;
}

std::string Record(int32_t length, const std::string& content) {
    std::string out(4, '\0');
    memcpy(&out[0], &length, 4);
    return out + content;
}

std::string Pattern(size_t size) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) out[i] = char((i * 7 + i / 251) & 0xFF);
    return out;
}

TEST(CopyPayloadBytes, UnscramblesAcrossChunkBoundaries) {
    TempDir dir;
    for (size_t size : {size_t(1), size_t(3), size_t(8191), size_t(8192), size_t(8193), size_t(3 * 8192 + 5)}) {
        std::string plain = Pattern(size), source = dir.File("source"), target = dir.File("target");
        WriteBytes(source, Scrambled(plain) + "trailing bytes stay unread");
        HANDLE in = OpenForReading(source);
        HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_TRUE(CopyPayloadBytes(in, out, uint32_t(size), true)) << size;
        LARGE_INTEGER zero = {}, position = {};
        SetFilePointerEx(in, zero, &position, FILE_CURRENT);
        EXPECT_EQ(position.QuadPart, LONGLONG(size));
        CloseHandle(in);
        CloseHandle(out);
        EXPECT_TRUE(ReadFileBytes(target) == plain) << size;
    }
}

TEST(CopyPayloadBytes, UnscramblesAcrossWholeChunksAndTheirTails) {
    TempDir dir;
    // Around one and two chunks, with tails that are no whole eight-byte word.
    for (size_t size : {size_t(PayloadChunkSize - 1), size_t(PayloadChunkSize), size_t(PayloadChunkSize + 1),
                        size_t(2 * PayloadChunkSize + 13)}) {
        std::string plain = Pattern(size), source = dir.File("source"), target = dir.File("target");
        WriteBytes(source, Scrambled(plain) + "next record");
        HANDLE in = OpenForReading(source);
        HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_TRUE(CopyPayloadBytes(in, out, uint32_t(size), true)) << size;
        CloseHandle(out);
        char rest[16] = {};
        DWORD got = 0;
        ReadFile(in, rest, sizeof rest, &got, nullptr);
        CloseHandle(in);
        EXPECT_EQ(std::string(rest, got), "next record") << size;
        EXPECT_TRUE(ReadFileBytes(target) == plain) << size;
    }
}

TEST(CopyPayloadBytes, CopiesPlainWithoutUnscrambleAndKeyBytesBecomeZero) {
    TempDir dir;
    std::string source = dir.File("source"), target = dir.File("target");
    WriteBytes(source, std::string(10, char(PayloadKey)));
    HANDLE in = OpenForReading(source);
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_TRUE(CopyPayloadBytes(in, out, 4, false));
    EXPECT_TRUE(CopyPayloadBytes(in, out, 6, true));
    CloseHandle(in);
    CloseHandle(out);
    EXPECT_EQ(ReadFileBytes(target), std::string(4, char(PayloadKey)) + std::string(6, '\0'));
}

TEST(CopyPayloadBytes, FailsWhenTheSourceEndsEarly) {
    TempDir dir;
    std::string source = dir.File("source"), target = dir.File("target");
    WriteBytes(source, Scrambled(Pattern(9000)));
    HANDLE in = OpenForReading(source);
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_FALSE(CopyPayloadBytes(in, out, 9001, true));
    CloseHandle(in);
    CloseHandle(out);
    EXPECT_TRUE(ReadFileBytes(target) == Pattern(9000));  // what was read is written
}

TEST(ExtractPayloadFile, WritesOneRecordAndLeavesTheNextInPlace) {
    TempDir dir;
    std::string source = dir.File("records"), first = dir.File("first"), second = dir.File("second");
    WriteBytes(source, Record(5, Scrambled("hello")) + Record(2, Scrambled("ok")));
    HANDLE in = OpenForReading(source);
    EXPECT_TRUE(ExtractPayloadFile(in, first.c_str()));
    EXPECT_TRUE(ExtractPayloadFile(in, second.c_str()));
    CloseHandle(in);
    EXPECT_EQ(ReadFileBytes(first), "hello");
    EXPECT_EQ(ReadFileBytes(second), "ok");
}

TEST(ExtractPayloadFile, LengthZeroOrNegativeCreatesNoFile) {
    TempDir dir;
    std::string source = dir.File("records"), zero = dir.File("zero"), negative = dir.File("negative"),
                last = dir.File("last");
    WriteBytes(source, Record(0, "") + Record(-7, "") + Record(1, Scrambled("x")));
    HANDLE in = OpenForReading(source);
    EXPECT_TRUE(ExtractPayloadFile(in, zero.c_str()));
    EXPECT_TRUE(ExtractPayloadFile(in, negative.c_str()));
    EXPECT_TRUE(ExtractPayloadFile(in, last.c_str()));
    CloseHandle(in);
    EXPECT_EQ(GetFileAttributesA(zero.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(negative.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(last), "x");
}

TEST(ExtractPayloadFile, TruncatedContentFailsAndKeepsWhatWasWritten) {
    TempDir dir;
    std::string source = dir.File("records"), target = dir.File("target");
    WriteBytes(source, Record(100, Scrambled("only this")));
    HANDLE in = OpenForReading(source);
    EXPECT_FALSE(ExtractPayloadFile(in, target.c_str()));
    CloseHandle(in);
    EXPECT_EQ(ReadFileBytes(target), "only this");
}

TEST(PayloadDirectoryName, TempFileStemDirSuffixAndRandomNumber) {
    char name[TextBufferSize], temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    ASSERT_TRUE(MakePayloadDirectoryName(name, sizeof name));
    std::string text = name;
    ASSERT_EQ(text.compare(0, strlen(temp), temp), 0) << text;
    std::string rest = text.substr(strlen(temp));
    std::smatch match;
    ASSERT_TRUE(std::regex_match(rest, match, std::regex("(ksl[0-9A-Fa-f]{1,4}\\.tmp)_dir([0-9]+)"))) << rest;
    EXPECT_LE(std::stoi(match[2].str()), 32767);
    // The unique file served only as a stem and is gone again.
    EXPECT_EQ(GetFileAttributesA((temp + match[1].str()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
    char small[8];
    EXPECT_FALSE(MakePayloadDirectoryName(small, sizeof small));
}

}  // namespace
