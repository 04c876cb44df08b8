// The candidate's judgement against the java.exe double: reading the version
// from the hidden "-version" run, the per-user cache (hits without a probe, a
// new last-write time probes again, rejected versions cached, failures not),
// each verdict with its reason as an observer hears it, and the termination
// of a runtime that does not answer in time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ConfigBlock.h"
#include "RuntimeDouble.h"
#include "CandidateAcceptance.h"
#include "RuntimeProbe.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return char(tolower(c)); });
    return text;
}

// The cache entry of a normalised executable path, as the registry holds it.
std::string CacheKeyOf(const std::string& executable) {
    std::string name = Lower(executable);
    std::replace(name.begin(), name.end(), '\\', '/');
    return "SOFTWARE\\larkspur\\kestrel\\jvms\\" + name;
}

bool ReadCache(const std::string& executable, std::string* version, FILETIME* time) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, CacheKeyOf(executable).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char text[256] = "";
    DWORD textSize = sizeof text - 1, timeSize = sizeof *time, type = 0;
    bool read = RegQueryValueExA(key, "Version", nullptr, &type, (BYTE*)text, &textSize) == ERROR_SUCCESS &&
                type == REG_SZ &&
                RegQueryValueExA(key, "LastWriteTime", nullptr, &type, (BYTE*)time, &timeSize) == ERROR_SUCCESS &&
                type == REG_BINARY && timeSize == 8;
    RegCloseKey(key);
    *version = text;
    return read;
}

class AcceptExecutableTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, CacheKeyOf(runtime.Java()).c_str()); }

    // Judges the runtime's executable as `path` names it, found through the
    // search path (a source that may not give a beta version).
    bool Check(const std::string& path, const char* minimum = "", const char* maximum = "",
               CandidateSource source = CandidateSource::PathSearch) {
        BeginCandidate(candidate, source, "");
        strcpy(candidate.executable, path.c_str());
        strcpy(bounds.minimum, minimum);
        strcpy(bounds.maximum, maximum);
        return AcceptExecutable(candidate, bounds);
    }

    RuntimeDouble runtime{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    RuntimeCandidate candidate;
    VersionBounds bounds;
    const char* const executable = candidate.executable;
    const char* const version = candidate.version;
};

TEST_F(AcceptExecutableTest, ProbesOnceThenAnswersFromTheCache) {
    runtime.Behave("stderr java version \"1.6.0_45\"\n");
    ASSERT_TRUE(Check(runtime.Java()));
    EXPECT_STREQ(version, "1.6.0_45");
    EXPECT_EQ(executable, Lower(runtime.Java()));
    std::string cached;
    FILETIME cachedTime, fileTime;
    ASSERT_TRUE(ReadCache(runtime.Java(), &cached, &cachedTime));
    ASSERT_TRUE(FindFileTime(runtime.Java().c_str(), &fileTime));
    EXPECT_EQ(cached, "1.6.0_45");
    EXPECT_EQ(memcmp(&cachedTime, &fileTime, sizeof fileTime), 0);

    runtime.Behave("stderr java version \"9.9\"\n");  // not asked again
    ASSERT_TRUE(Check(runtime.Java()));
    EXPECT_STREQ(version, "1.6.0_45");
    // Another spelling of the same file shares the entry.
    std::string upper = runtime.Java();
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return char(toupper(c)); });
    ASSERT_TRUE(Check(upper));
    EXPECT_EQ(executable, Lower(runtime.Java()));
    EXPECT_EQ(runtime.Starts(), 1);
}

TEST_F(AcceptExecutableTest, NewLastWriteTimeProbesAgain) {
    runtime.Behave("stderr java version \"1.6.0_45\"\n");
    ASSERT_TRUE(Check(runtime.Java()));
    HANDLE file = CreateFileA(runtime.Java().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME updated = {0x12345678, 0x01D00000};
    SetFileTime(file, nullptr, nullptr, &updated);
    CloseHandle(file);
    runtime.Behave("stderr openjdk version \"17.0.9\" 2023-10-17\n");
    ASSERT_TRUE(Check(runtime.Java()));
    EXPECT_STREQ(version, "17.0.9");
    EXPECT_EQ(runtime.Starts(), 2);
    std::string cached;
    FILETIME cachedTime;
    ASSERT_TRUE(ReadCache(runtime.Java(), &cached, &cachedTime));
    EXPECT_EQ(cached, "17.0.9");
    EXPECT_EQ(memcmp(&cachedTime, &updated, sizeof updated), 0);
}

TEST_F(AcceptExecutableTest, VersionsOutOfRangeAreRejectedButCached) {
    runtime.Behave("stderr java version \"1.5.0_22\"\n");
    EXPECT_FALSE(Check(runtime.Java(), "1.6"));
    EXPECT_STREQ(version, "1.5.0_22");
    EXPECT_FALSE(Check(runtime.Java(), "", "1.4"));
    EXPECT_TRUE(Check(runtime.Java(), "1.5", "1.5"));
    EXPECT_EQ(runtime.Starts(), 1);
}

TEST_F(AcceptExecutableTest, FailedProbesAreRejectedAndNotCached) {
    std::string cached;
    FILETIME time;
    struct {
        const char* behaviour;
        ProbeOutcome outcome;
    } failures[] = {{"stderr java version \"1.6.0\"\nexit 1\n", ProbeOutcome::Failed},
                    {"stderr Error occurred\n", ProbeOutcome::NoVersionLine},
                    {"", ProbeOutcome::NoVersionLine}};
    for (const auto& failure : failures) {
        runtime.Behave(failure.behaviour);
        EXPECT_FALSE(Check(runtime.Java())) << failure.behaviour;
        EXPECT_EQ(candidate.verdict, Verdict::VersionUnknown) << failure.behaviour;
        EXPECT_EQ(candidate.probe, failure.outcome) << failure.behaviour;
        EXPECT_FALSE(ReadCache(runtime.Java(), &cached, &time)) << failure.behaviour;
    }
    EXPECT_EQ(runtime.Starts(), 3);
    EXPECT_FALSE(Check(runtime.Home() + "\\bin\\missing.exe", "", "", CandidateSource::GivenPath));
}

// What an observer heard of one verdict.
struct Heard {
    Verdict verdict;
    VersionOrigin origin;
    std::string version;
    bool operator==(const Heard& other) const {
        return verdict == other.verdict && origin == other.origin && version == other.version;
    }
};
std::vector<Heard> heard;
void Hear(const RuntimeCandidate& candidate) {
    heard.push_back({candidate.verdict, candidate.versionOrigin, candidate.version});
}

TEST_F(AcceptExecutableTest, EachVerdictReachesTheObserverWithItsReason) {
    heard.clear();
    ObserveCandidates(Hear);
    runtime.Behave("stderr java version \"1.6.0-beta\"\n");
    // A runtime picked by hand may be a beta version, one on the search path may not.
    const CandidateSource byHand = CandidateSource::LocatedRuntime;
    Check(runtime.Home() + "\\bin\\missing.exe");
    Check(runtime.Java(), "1.7", "", byHand);  // probed
    Check(runtime.Java(), "", "1.5", byHand);  // from the cache from here on
    Check(runtime.Java());
    Check(runtime.Java(), "", "", byHand);
    RegDeleteKeyA(HKEY_CURRENT_USER, CacheKeyOf(runtime.Java()).c_str());
    runtime.Behave("exit 1\n");
    Check(runtime.Java());  // not cached, and the probe fails
    ObserveCandidates(nullptr);
    Check(runtime.Java());
    std::vector<Heard> expected = {
        {Verdict::ExecutableMissing, VersionOrigin::Unknown, ""},
        {Verdict::BelowMinimum, VersionOrigin::Probe, "1.6.0-beta"},
        {Verdict::AboveMaximum, VersionOrigin::Cache, "1.6.0-beta"},
        {Verdict::Beta, VersionOrigin::Cache, "1.6.0-beta"},
        {Verdict::Accepted, VersionOrigin::Cache, "1.6.0-beta"},
        {Verdict::VersionUnknown, VersionOrigin::Unknown, ""},
    };
    EXPECT_TRUE(heard == expected) << heard.size() << " verdicts heard";
}

TEST_F(AcceptExecutableTest, TheProbeRunsTheExecutableWithTheVersionOption) {
    runtime.Behave("stderr java version \"1.6.0\"\n");
    char found[64];
    ASSERT_EQ(ProbeJavaVersion(runtime.Java().c_str(), found, sizeof found), ProbeOutcome::Answered);
    std::ifstream log(runtime.Home() + "\\bin\\java.log");
    std::string line;
    std::getline(log, line);
    EXPECT_EQ(line.substr(line.size() - 9), " -version") << line;
    EXPECT_EQ(line.find('"'), std::string::npos) << "a short path needs no quotes: " << line;
}

// A runtime that never answers: terminated after the time limit, and the
// output file is removed (looked for in a temporary directory of its own).
TEST_F(AcceptExecutableTest, AHangingProbeIsTerminatedAndLeavesNoFile) {
    std::string temp = runtime.Home() + "\\temp\\";
    CreateDirectoryA(temp.c_str(), nullptr);
    char oldTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", oldTemp, sizeof oldTemp);
    SetEnvironmentVariableA("TMP", temp.c_str());
    std::string mutex = "kestrel-unit-hanging-probe";
    runtime.Behave("stderr java version \"1.6.0\"\ndelay 30000\nhold " + mutex + "\n");
    char found[64];
    ProbeOutcome outcome = ProbeJavaVersion(runtime.Java().c_str(), found, sizeof found);
    SetEnvironmentVariableA("TMP", oldTemp[0] ? oldTemp : nullptr);
    EXPECT_EQ(outcome, ProbeOutcome::TimedOut);
    EXPECT_EQ(runtime.Starts(), 1);
    HANDLE held = OpenMutexA(SYNCHRONIZE, FALSE, mutex.c_str());
    EXPECT_EQ(held, nullptr) << "the runtime is still running";
    if (held) CloseHandle(held);
    EXPECT_TRUE(RemoveDirectoryA(temp.c_str())) << "a file was left in " << temp;
}

}  // namespace
