// The tar loop from memory into a recording target: files and directories,
// the three long-name forms, what is passed over, damaged and cut streams,
// the size limit, the target's refusals, and counting past 2 GiB.
#include "TarExtraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "TarTestArchive.h"

namespace {

using namespace tartest;

// Hands out the bytes in reads of at most `step` bytes; then 0, or -1 when
// the stream is to end as damaged.
class MemorySource : public TarSource {
public:
    explicit MemorySource(std::string bytes, bool endsDamaged = false, uint32_t step = 7000)
        : bytes_(std::move(bytes)), endsDamaged_(endsDamaged), step_(step) {}
    int32_t Read(void* buffer, uint32_t count) override {
        size_t n = std::min<size_t>({count, step_, bytes_.size() - position_});
        if (n == 0 && endsDamaged_) return -1;
        memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return int32_t(n);
    }
    size_t Position() const { return position_; }

private:
    std::string bytes_;
    bool endsDamaged_;
    uint32_t step_;
    size_t position_ = 0;
};

// Records what it is asked to create; answers `refusal` at the named step.
class RecordingTarget : public TarTarget {
public:
    std::vector<std::string> directories;
    std::map<std::string, std::string> files;
    std::vector<std::string> events;
    std::vector<uint64_t> offsets;
    std::string refuseAt;  // "dir <path>", "file <path>", "write <path>" or "progress"
    TarStatus refusal = TarStatus::Done;

    TarStatus MakeDirectory(const char* path) override {
        events.push_back(std::string("dir ") + path);
        directories.push_back(path);
        return Answer("dir " + std::string(path));
    }
    TarStatus BeginFile(const char* path, uint64_t size) override {
        EXPECT_TRUE(open_.empty()) << "a file is still open";
        events.push_back("file " + std::string(path) + " " + std::to_string(size));
        TarStatus status = Answer("file " + std::string(path));
        if (status == TarStatus::Done) {
            open_ = path;
            files[open_].clear();
        }
        return status;
    }
    TarStatus WriteData(const void* data, uint32_t count) override {
        EXPECT_FALSE(open_.empty());
        files[open_].append(static_cast<const char*>(data), count);
        return Answer("write " + open_);
    }
    TarStatus EndFile() override {
        EXPECT_FALSE(open_.empty());
        events.push_back("end " + open_);
        open_.clear();
        return TarStatus::Done;
    }
    TarStatus Progress(uint64_t offset) override {
        offsets.push_back(offset);
        return Answer("progress");
    }

private:
    TarStatus Answer(const std::string& step) const { return step == refuseAt ? refusal : TarStatus::Done; }
    std::string open_;
};

TarStatus Extract(const std::string& tar, RecordingTarget& target, uint64_t limit = 0, bool endsDamaged = false) {
    MemorySource source(tar, endsDamaged);
    return ExtractTar(source, target, limit);
}

using Files = std::map<std::string, std::string>;
using Names = std::vector<std::string>;

TEST(TarExtraction, DirectoriesAndFilesUpToTheEndBlocks) {
    const std::string big = Pattern(3 * 32768 + 100, 1), blocks = Pattern(1024, 2);
    RecordingTarget target;
    EXPECT_EQ(Extract(Directory("bin/") + File("bin/java.exe", big) + Directory("bin/client/") +
                          File("bin/client/jvm.dll", blocks) + File("release", "tiny") + File("empty", "") +
                          EndBlocks() + File("behind-the-end", "never") + EndBlocks(),
                      target),
              TarStatus::Done);
    EXPECT_EQ(target.directories, (Names{"bin", "bin\\client"}));
    EXPECT_EQ(target.files, (Files{{"bin\\java.exe", big}, {"bin\\client\\jvm.dll", blocks}, {"release", "tiny"},
                                   {"empty", ""}}));
    EXPECT_EQ(target.events[1], "file bin\\java.exe " + std::to_string(big.size()));
}

TEST(TarExtraction, AStreamThatEndsAtABlockBoundaryIsComplete) {
    RecordingTarget target;
    EXPECT_EQ(Extract(File("a.txt", "first") + File("b.txt", Pattern(512, 3)), target), TarStatus::Done);
    EXPECT_EQ(target.files.at("b.txt"), Pattern(512, 3));
}

TEST(TarExtraction, TheBarFollowsTheStreamOffsetFromEachFilesStart) {
    RecordingTarget target;
    std::string data = Pattern(70000, 4);
    ASSERT_EQ(Extract(File("a.txt", "0123456789") + File("b.bin", data) + EndBlocks(), target), TarStatus::Done);
    // a.txt's data starts at 512, b.bin's at 1536 and passes in chunks of 32768.
    EXPECT_EQ(target.offsets, (std::vector<uint64_t>{512, 522, 1536, 1536 + 32768, 1536 + 65536, 1536 + 70000}));
}

TEST(TarExtraction, LongNamesInAllThreeForms) {
    const std::string dir = "jdk-17.0.9+9/legal/" + std::string(60, 'd') + "/";
    const std::string prefixName = dir + std::string(90, 'u');      // ustar prefix and name
    const std::string gnuName = dir + std::string(160, 'g');        // GNU long-name entry
    const std::string paxName = dir + "caf\xc3\xa9-" + std::string(150, 'p');  // pax path, UTF-8
    const std::string slash = prefixName.substr(0, prefixName.rfind('/'));
    RecordingTarget target;
    ASSERT_EQ(Extract(Header(prefixName.substr(slash.size() + 1), '0', 2, PosixMagic, slash) + "u1" + Padding(2) +
                          GnuLongFile(gnuName, "g1") + PaxFile(PaxRecord("path", paxName), paxName, "p1") +
                          File("short", "s") + EndBlocks(),
                      target),
              TarStatus::Done);
    auto windows = [](std::string name) {
        std::replace(name.begin(), name.end(), '/', '\\');
        return name;
    };
    EXPECT_EQ(target.files, (Files{{windows(prefixName), "u1"}, {windows(gnuName), "g1"}, {windows(paxName), "p1"},
                                   {"short", "s"}}));
}

TEST(TarExtraction, PaxRecordsOtherThanPathAndSizeAreSkippedAndSizeCounts) {
    std::string records = PaxRecord("mtime", "1700000000.5") + PaxRecord("SCHILY.xattr.user.x", std::string(70000, 'z')) +
                          PaxRecord("path", "bin/renamed.txt") + PaxRecord("size", "5") + PaxRecord("uname", "root");
    // The header's own size field says 0; the record says 5.
    RecordingTarget target;
    ASSERT_EQ(Extract(Entry("PaxHeaders/x", 'x', records) + Header("cut", '0', 0) + "hello" + Padding(5) +
                          File("after.txt", "after") + EndBlocks(),
                      target),
              TarStatus::Done);
    EXPECT_EQ(target.files, (Files{{"bin\\renamed.txt", "hello"}, {"after.txt", "after"}}));
}

TEST(TarExtraction, WhatDescribesAnEntryAppliesToTheNextOneOnly) {
    RecordingTarget target;
    ASSERT_EQ(Extract(Entry("././@LongLink", 'L', std::string("first/long/name") + '\0', GnuMagic) +
                          File("cut1", "1") + File("second", "2") + EndBlocks(),
                      target),
              TarStatus::Done);
    EXPECT_EQ(target.files, (Files{{"first\\long\\name", "1"}, {"second", "2"}}));
}

TEST(TarExtraction, LinksSpecialFilesAndGlobalHeadersArePassedOverWithTheirData) {
    RecordingTarget target;
    ASSERT_EQ(Extract(Entry("././@LongLink", 'K', "a/very/long/link/target", GnuMagic) + Entry("link", '2', "") +
                          PaxFile(PaxRecord("linkpath", "../../../etc/passwd"), "link2", "") +  // a file, linkpath ignored
                          Entry("hard", '1', "hard data") + Entry("fifo", '6', "") + Entry("global", 'g', "9 a=bcd\n") +
                          Entry("old", '\0', "old-style data") + File("after.txt", "after") + EndBlocks(),
                      target),
              TarStatus::Done);
    EXPECT_EQ(target.files, (Files{{"link2", ""}, {"after.txt", "after"}}));
    EXPECT_TRUE(target.directories.empty());
}

TEST(TarExtraction, RefusedNamesArePassedOverWithTheirData) {
    std::string tar = Directory("sub/");
    for (const char* name : {"../up.txt", "sub/../../up2.txt", "/rooted.txt", "C:/drive.txt", "sub/x:stream", "...",
                             "CON", "bin/con.txt", "aux.txt", "COM1", "lpt9.log", "sub/CONOUT$", "."})
        tar += File(name, "hostile data that must be skipped");
    tar += Directory("../updir/") + Directory("NUL/") + GnuLongFile("../" + std::string(120, 'l'), "x");
    tar += File("sub/kept.txt", "kept") + EndBlocks();
    RecordingTarget target;
    ASSERT_EQ(Extract(tar, target), TarStatus::Done);
    EXPECT_EQ(target.directories, Names{"sub"});
    EXPECT_EQ(target.files, (Files{{"sub\\kept.txt", "kept"}}));
}

TEST(TarExtraction, NamesBeyondTheLimitArePassedOver) {
    std::string longest(TarEntryNameLimit - 1, 'n'), tooLong(TarEntryNameLimit, 'n');
    for (size_t i = 100; i < longest.size(); i += 100) longest[i] = tooLong[i] = '/';
    RecordingTarget target;
    ASSERT_EQ(Extract(GnuLongFile(longest, "fits") + GnuLongFile(tooLong, "too long") +
                          PaxFile(PaxRecord("path", tooLong + "x"), "cut", "too long") + File("after", "a") +
                          EndBlocks(),
                      target),
              TarStatus::Done);
    ASSERT_EQ(target.files.size(), 2u);
    EXPECT_EQ(target.files.at("after"), "a");
    target.files.erase("after");
    EXPECT_EQ(target.files.begin()->second, "fits");
}

TEST(TarExtraction, DamagedAndCutStreamsFail) {
    const std::string first = File("first.txt", "first"), data = Pattern(70000, 5);
    std::string badChecksum = File("x", "x");
    badChecksum[0] = 'y';
    std::string garbageSize = Header("x", '0', 0);
    memcpy(&garbageSize[124], "77777777779", 11);
    Seal(garbageSize);
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"data cut inside a file", first + Header("cut.bin", '0', data.size()) + data.substr(0, 40000)},
        {"data cut inside a passed-over entry", first + Header("link", '2', 5000) + Pattern(1000, 6)},
        {"padding missing", first + Header("last.txt", '0', 100) + Pattern(100, 7)},
        {"short header", first + Header("second.txt", '0', 6).substr(0, 300)},
        {"bad checksum", first + badChecksum + EndBlocks()},
        {"no ustar magic", first + std::string(512, 'j') + EndBlocks()},
        {"garbage size", first + garbageSize + EndBlocks()},
        {"huge size", first + Header("huge", '0', 077777777777ull) + Pattern(2000, 8)},
        {"not an archive", "not an archive"},
        {"pax record without newline", PaxFile("8 path=x", "y", "") + EndBlocks()},
        {"pax record longer than its header", Entry("p", 'x', "99 path=x\n") + File("y", "") + EndBlocks()},
        {"pax length not a number", Entry("p", 'x', "1a path=x\n") + File("y", "") + EndBlocks()},
        {"pax record without keyword", Entry("p", 'x', "5 ab\n") + File("y", "") + EndBlocks()},
        {"pax size not a number", PaxFile(PaxRecord("size", "12k"), "y", "") + EndBlocks()},
        {"pax size empty", PaxFile(PaxRecord("size", ""), "y", "") + EndBlocks()},
    };
    for (const auto& [what, tar] : cases) {
        RecordingTarget target;
        EXPECT_EQ(Extract(tar, target), TarStatus::Damaged) << what;
    }
}

TEST(TarExtraction, AStreamErrorFailsAlsoBehindTheEndBlocks) {
    const std::string tar = File("a.txt", "a") + EndBlocks();
    RecordingTarget whole, damaged, damagedFarBehind;
    EXPECT_EQ(Extract(tar, whole), TarStatus::Done);
    EXPECT_EQ(Extract(tar, damaged, 0, true), TarStatus::Damaged);
    EXPECT_EQ(damaged.files.at("a.txt"), "a");
    // Past the trail that is read, the stream is no longer looked at.
    EXPECT_EQ(Extract(tar + std::string(TarTrailLimit + TarChunkSize, '\0'), damagedFarBehind, 0, true),
              TarStatus::Done);
}

TEST(TarExtraction, TheLimitStopsBeforeTheEntryThatPassesIt) {
    const std::string tar = File("a.txt", Pattern(1000, 9)) + File("b.txt", Pattern(1000, 10)) + EndBlocks();
    RecordingTarget within, beyond;
    // a.txt spans 512 + 1024 bytes, b.txt's header ends at 2048, its data at 3048.
    EXPECT_EQ(Extract(tar, within, 3048), TarStatus::Done);
    EXPECT_EQ(Extract(tar, beyond, 3047), TarStatus::TooLarge);
    EXPECT_EQ(beyond.files, (Files{{"a.txt", Pattern(1000, 9)}}));
    RecordingTarget huge;
    EXPECT_EQ(Extract(Header("huge", '0', 077777777777ull) + "x", huge, 1u << 30), TarStatus::TooLarge);
    EXPECT_TRUE(huge.events.empty());
}

TEST(TarExtraction, ExpansionLimitIsTwiceTheDeclaredSizeAndAMargin) {
    EXPECT_EQ(ExpansionLimit(0), 0u);
    EXPECT_EQ(ExpansionLimit(-1), 0u);
    EXPECT_EQ(ExpansionLimit(1000), 2000u + (64u << 20));
    EXPECT_EQ(ExpansionLimit(0x7FFFFFFF), 0xFFFFFFFEull + (64u << 20));
}

TEST(TarExtraction, WhatTheTargetRefusesStopsTheExtraction) {
    const std::string tar = Directory("bin/") + File("bin/a", Pattern(40000, 11)) + File("b", "b") + EndBlocks();
    const std::pair<std::string, TarStatus> refusals[] = {
        {"dir bin", TarStatus::CannotCreate},
        {"file bin\\a", TarStatus::CannotCreate},
        {"write bin\\a", TarStatus::NoSpace},
        {"write bin\\a", TarStatus::WriteFailed},
        {"progress", TarStatus::Cancelled},
    };
    for (const auto& [step, status] : refusals) {
        RecordingTarget target;
        target.refuseAt = step;
        target.refusal = status;
        EXPECT_EQ(Extract(tar, target), status) << step;
        EXPECT_EQ(target.files.count("b"), 0u) << step;
        // A file that was begun is ended, whatever happened inside it.
        size_t begun = std::count_if(target.events.begin(), target.events.end(),
                                     [](const std::string& e) { return e.rfind("file ", 0) == 0; });
        size_t ended = std::count_if(target.events.begin(), target.events.end(),
                                     [](const std::string& e) { return e.rfind("end ", 0) == 0; });
        EXPECT_EQ(begun - (step == "file bin\\a" ? 1 : 0), ended) << step;
    }
}

// A tar stream of one file of `size` zero bytes and an end block, made up
// as it is read.
class ZeroFileSource : public TarSource {
public:
    explicit ZeroFileSource(uint64_t size) : header_(Header("big.bin", '0', size)), total_(512 + size + Padding(size).size() + 512) {}
    int32_t Read(void* buffer, uint32_t count) override {
        uint64_t n = std::min<uint64_t>(count, total_ - position_);
        memset(buffer, 0, size_t(n));
        if (position_ < 512) memcpy(buffer, header_.data() + position_, size_t(std::min<uint64_t>(n, 512 - position_)));
        position_ += n;
        return int32_t(n);
    }

private:
    std::string header_;
    uint64_t total_;
    uint64_t position_ = 0;
};

// Counts the data instead of keeping it.
class CountingTarget : public TarTarget {
public:
    uint64_t written = 0, lastOffset = 0;
    bool offsetsGrow = true;
    TarStatus MakeDirectory(const char*) override { return TarStatus::Done; }
    TarStatus BeginFile(const char*, uint64_t) override { return TarStatus::Done; }
    TarStatus WriteData(const void*, uint32_t count) override {
        written += count;
        return TarStatus::Done;
    }
    TarStatus EndFile() override { return TarStatus::Done; }
    TarStatus Progress(uint64_t offset) override {
        offsetsGrow = offsetsGrow && offset >= lastOffset;
        lastOffset = offset;
        return TarStatus::Done;
    }
};

TEST(TarExtraction, SizesAndOffsetsCountPast2GiB) {
    const uint64_t size = 0x80000000ull + 1000;
    ZeroFileSource source(size);
    CountingTarget target;
    EXPECT_EQ(ExtractTar(source, target, 0), TarStatus::Done);
    EXPECT_EQ(target.written, size);
    EXPECT_EQ(target.lastOffset, 512 + size);
    EXPECT_TRUE(target.offsetsGrow);
}

}  // namespace
