// The runtime archive reader: octal fields, header fields, which entry names
// may be created, padding and progress (TarHeader, no Win32); then archives
// written by the test with zlib and unpacked under Wine: complete, without
// end blocks, truncated, with hostile names and passed-over entries; the
// copy of one file's data; and the pack-expansion animation on a real
// progress bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Progress.h"
#include "Resources.h"
#include "RuntimeArchive.h"
#include "TarHeader.h"
#include "TestFiles.h"

namespace {

// --- octal fields ------------------------------------------------------------

TEST(ParseOctalField, ExamplesOfTheFormat) {
    EXPECT_EQ(ParseOctalField("00000001750 ", 12), 1000);
    EXPECT_EQ(ParseOctalField("     17", 7), 15);
    EXPECT_EQ(ParseOctalField("00000000000\0", 12), 0);
    EXPECT_EQ(ParseOctalField("000000000000", 12), 0);
    EXPECT_EQ(ParseOctalField("            ", 12), 0);
}

TEST(ParseOctalField, EndsAtNulAtABlankAfterTheNumberAndAtTheWidth) {
    EXPECT_EQ(ParseOctalField("17\0" "77", 5), 15);
    EXPECT_EQ(ParseOctalField("  17 7", 6), 15);
    EXPECT_EQ(ParseOctalField("1750", 2), 15);
    // A zero after the first significant digit is a digit.
    EXPECT_EQ(ParseOctalField("0 0107", 6), 71);
}

TEST(ParseOctalField, DigitsAreNotCheckedAndLargeValuesWrap) {
    EXPECT_EQ(ParseOctalField("9", 1), 9);
    EXPECT_EQ(ParseOctalField("18", 2), 16);
    EXPECT_EQ(ParseOctalField("17777777777", 11), 0x7FFFFFFF);
    EXPECT_EQ(ParseOctalField("37777777777", 11), -1);
    EXPECT_EQ(ParseOctalField("77777777777", 11), -1);
}

// --- headers ---------------------------------------------------------------

// A 512-byte header block in the layout of the tar format.
std::string Header(const std::string& name, char type, size_t size, const std::string& magic = std::string("ustar\0" "00", 8)) {
    std::string block(TarBlockSize, '\0');
    memcpy(&block[0], name.data(), name.size() < 100 ? name.size() : 100);
    memcpy(&block[100], "0000644", 7);
    char sizeField[16];
    snprintf(sizeField, sizeof sizeField, "%011o", unsigned(size));
    memcpy(&block[124], sizeField, 11);
    memcpy(&block[148], "        ", 8);  // checksum, never verified
    block[156] = type;
    memcpy(&block[257], magic.data(), magic.size());
    return block;
}

TEST(TarHeader, UstarMagicInBothFormsMarksAHeader) {
    EXPECT_TRUE(IsTarHeader(Header("a", '0', 0).c_str()));
    EXPECT_TRUE(IsTarHeader(Header("a", '0', 0, std::string("ustar  \0", 8)).c_str()));
    EXPECT_FALSE(IsTarHeader(std::string(TarBlockSize, '\0').c_str()));
    EXPECT_FALSE(IsTarHeader(Header("a", '0', 0, "ustaR").c_str()));
}

TEST(TarHeader, FieldsOfAnEntry) {
    TarEntry entry;
    ReadTarEntry(Header("bin/client/jvm.dll", '0', 1000).c_str(), entry);
    EXPECT_EQ(entry.kind, TarEntryKind::RegularFile);
    EXPECT_EQ(entry.size, 1000);
    EXPECT_STREQ(entry.path, "bin\\client\\jvm.dll");
    EXPECT_TRUE(entry.pathIsSafe);

    ReadTarEntry(Header("bin/", '5', 0).c_str(), entry);
    EXPECT_EQ(entry.kind, TarEntryKind::Directory);
    EXPECT_STREQ(entry.path, "bin\\");
    EXPECT_TRUE(entry.pathIsSafe);

    // Links, long names, extended headers, contiguous and old-style files.
    for (char type : {'1', '2', 'L', 'K', 'x', 'g', '7', '\0'}) {
        ReadTarEntry(Header("x", type, 12).c_str(), entry);
        EXPECT_EQ(entry.kind, TarEntryKind::Other) << int(type);
        EXPECT_EQ(entry.size, 12);
    }
}

TEST(TarHeader, ANameThatFillsItsFieldEndsThere) {
    std::string name(100, 'n');
    name[10] = '/';
    TarEntry entry;
    // The mode field follows the name directly.
    ReadTarEntry(Header(name, '0', 0).c_str(), entry);
    EXPECT_EQ(strlen(entry.path), 100u);
    EXPECT_EQ(std::string(entry.path), std::string(10, 'n') + "\\" + std::string(89, 'n'));
}

TEST(TarHeader, NamesThatStayBelowTheDestination) {
    for (const char* path : {"bin", "bin\\java.exe", "bin\\", ".\\bin\\java.exe", ".", "a..b", "..a", "a..",
                             ". \\x", "lib\\ext\\localedata.jar"})
        EXPECT_TRUE(IsSafeEntryPath(path)) << path;
}

TEST(TarHeader, NamesThatWouldLeaveTheDestination) {
    for (const char* path : {"", "\\abs.txt", "\\\\server\\share\\x", "C:\\x", "C:x", "c:", "bin\\x:stream",
                             "..", "..\\x", "bin\\..\\..\\x", "bin\\..", ".. \\x", "...\\x", "bin\\. .\\x",
                             "bin\\..\\java.exe"})
        EXPECT_FALSE(IsSafeEntryPath(path)) << path;
}

TEST(TarHeader, HostileNamesFromTheHeader) {
    TarEntry entry;
    for (const char* name : {"/etc/passwd", "../up.txt", "bin/../../up.txt", "C:/x.txt", "..\\up.txt"}) {
        ReadTarEntry(Header(name, '0', 3).c_str(), entry);
        EXPECT_FALSE(entry.pathIsSafe) << name;
    }
}

TEST(TarHeader, PaddingUpToTheNextBlock) {
    EXPECT_EQ(TarPaddingSize(0), 0);
    EXPECT_EQ(TarPaddingSize(1), 511);
    EXPECT_EQ(TarPaddingSize(511), 1);
    EXPECT_EQ(TarPaddingSize(512), 0);
    EXPECT_EQ(TarPaddingSize(1000), 24);
    EXPECT_EQ(TarPaddingSize(1024), 0);
}

TEST(TarHeader, ProgressAgainstTheConfiguredSize) {
    EXPECT_EQ(ExtractionProgress(0, 200), 0);
    EXPECT_EQ(ExtractionProgress(50, 200), 25);
    EXPECT_EQ(ExtractionProgress(199, 200), 99);
    EXPECT_EQ(ExtractionProgress(200, 200), 100);
    EXPECT_EQ(ExtractionProgress(300, 200), 100);  // a configured size that is too small
    EXPECT_EQ(ExtractionProgress(2000000000L, 2100000000), 95);  // no overflow
    // Key 151 = 0 (or negative): no position at all, no division by zero.
    EXPECT_EQ(ExtractionProgress(100, 0), -1);
    EXPECT_EQ(ExtractionProgress(100, -5), -1);
    EXPECT_EQ(ExtractionProgress(-1, 200), -1);  // gztell's error
}

// --- archives under Wine -----------------------------------------------------

std::string Pattern(size_t size, int seed) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) out[i] = char((i * 31 + seed + i / 509) & 0xFF);
    return out;
}

std::string Entry(const std::string& name, char type, const std::string& data) {
    return Header(name, type, data.size()) + data + std::string(TarPaddingSize(int32_t(data.size())), '\0');
}

const std::string EndBlocks(2 * TarBlockSize, '\0');

// A window with the progress bar control of the progress dialog, range 0..250.
class ProgressWindow {
public:
    ProgressWindow() {
        INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
        dialog_ = CreateWindowA("STATIC", "progress", WS_OVERLAPPED, 0, 0, 300, 100, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        bar_ = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 200, 10, dialog_, HMENU(IDC_PROGRESS_BAR),
                             GetModuleHandleA(nullptr), nullptr);
        SendMessageA(bar_, PBM_SETRANGE32, 0, 250);
    }
    ~ProgressWindow() { DestroyWindow(dialog_); }
    HWND Dialog() const { return dialog_; }
    bool HasBar() const { return bar_ != nullptr; }
    int Position() const { return int(SendMessageA(bar_, PBM_GETPOS, 0, 0)); }
    void SetPosition(int position) const { SendMessageA(bar_, PBM_SETPOS, WPARAM(position), 0); }

private:
    HWND dialog_ = nullptr;
    HWND bar_ = nullptr;
};

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root_ = std::string(temp) + "kestrel-unit-archive-" + std::to_string(GetCurrentProcessId());
        Remove(root_);
        CreateDirectoryA(root_.c_str(), nullptr);
        CreateDirectoryA(Destination().c_str(), nullptr);
        GetCurrentDirectoryA(sizeof previous_, previous_);
    }
    void TearDown() override {
        SetCurrentDirectoryA(previous_);
        Remove(root_);
    }

    std::string Destination() const { return root_ + "\\jre"; }
    std::string Archive() const { return root_ + "\\jre.tar.gz"; }
    std::string Extracted(const std::string& name) const { return Destination() + "\\" + name; }

    // Writes `tar` gzip-compressed, only the first half of the compressed
    // bytes when `cutInHalf`.
    void WriteArchive(const std::string& tar, bool cutInHalf = false) const {
        gzFile out = gzopen(Archive().c_str(), "wb");
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(gzwrite(out, tar.data(), unsigned(tar.size())), int(tar.size()));
        gzclose(out);
        if (cutInHalf) {
            std::string compressed = Read(Archive());
            Write(Archive(), compressed.substr(0, compressed.size() / 2));
        }
    }

    bool Extract() const { return ExtractTarGz(Archive().c_str(), Destination().c_str(), nullptr, 0); }

    static std::string Read(const std::string& path) { return ReadFileBytes(path); }
    static void Write(const std::string& path, const std::string& bytes) { WriteFileBytes(path, bytes); }
    // The names in a directory, sorted ("." and ".." left out).
    static std::vector<std::string> Names(const std::string& directory) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static std::string CurrentDirectory() {
        char directory[MAX_PATH];
        GetCurrentDirectoryA(sizeof directory, directory);
        return directory;
    }

    std::string root_;

private:
    static void Remove(const std::string& path) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove(path + "\\" + name);
                else DeleteFileA((path + "\\" + name).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path.c_str());
    }

    char previous_[MAX_PATH];
};

TEST_F(ArchiveTest, DirectoriesAndFilesUpToTheEndBlocks) {
    const std::string big = Pattern(3 * 32768 + 100, 1), block = Pattern(1024, 2), small = "tiny";
    WriteArchive(Entry("bin/", '5', "") + Entry("bin/java.exe", '0', big) + Entry("bin/client/", '5', "") +
                 Entry("bin/client/jvm.dll", '0', block) + Entry("release", '0', small) + Entry("empty", '0', "") +
                 EndBlocks + Entry("behind-the-end", '0', "never"));
    std::string before = CurrentDirectory();
    EXPECT_TRUE(Extract());
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_EQ(Read(Extracted("bin\\java.exe")), big);
    // A size that is a multiple of 512 has no padding: the next entry follows at once.
    EXPECT_EQ(Read(Extracted("bin\\client\\jvm.dll")), block);
    EXPECT_EQ(Read(Extracted("release")), small);
    EXPECT_EQ(Read(Extracted("empty")), "");
    EXPECT_FALSE(Exists(Extracted("behind-the-end")));
}

TEST_F(ArchiveTest, AStreamThatEndsAtABlockBoundaryWithoutEndBlocksIsComplete) {
    WriteArchive(Entry("a.txt", '0', "first") + Entry("b.txt", '0', Pattern(512, 3)));
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Read(Extracted("b.txt")), Pattern(512, 3));
}

TEST_F(ArchiveTest, LinksLongNamesAndExtendedHeadersArePassedOverWithTheirData) {
    std::string longName(130, 'l');
    WriteArchive(Entry("link", '2', "") + Entry("hard", '1', "") + Entry("././@LongLink", 'L', longName) +
                 Entry("PaxHeader", 'x', "30 path=some/long/name/here.txt\n") + Entry("fifo", '6', "") +
                 Entry("after.txt", '0', "after") + EndBlocks);
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Read(Extracted("after.txt")), "after");
    for (const char* name : {"link", "hard", "././@LongLink", "PaxHeader", "fifo"})
        EXPECT_FALSE(Exists(Extracted(name))) << name;
}

TEST_F(ArchiveTest, HostileNamesAreSkippedWithTheirData) {
    std::string tar = Entry("sub/", '5', "");
    for (const char* name : {"../up.txt", "sub/../../up2.txt", "/rooted.txt", "C:/drive.txt", "C:drive2.txt",
                             "..\\up3.txt", "sub/x:stream", "../updir/", "...", "sub/... /x"})
        tar += Entry(name, name[strlen(name) - 1] == '/' ? '5' : '0', "hostile data that must be skipped");
    tar += Entry("sub/kept.txt", '0', "kept") + EndBlocks;
    WriteArchive(tar);
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Read(Extracted("sub\\kept.txt")), "kept");
    EXPECT_EQ(Names(root_), (std::vector<std::string>{"jre", "jre.tar.gz"}));
    EXPECT_EQ(Names(Destination()), std::vector<std::string>{"sub"});
    EXPECT_EQ(Names(Extracted("sub")), std::vector<std::string>{"kept.txt"});
}

TEST_F(ArchiveTest, DataEndingInsideAFileFails) {
    const std::string data = Pattern(70000, 4);
    WriteArchive(Entry("first.txt", '0', "first") + Header("cut.bin", '0', data.size()) + data.substr(0, 40000));
    EXPECT_FALSE(Extract());
    EXPECT_EQ(Read(Extracted("first.txt")), "first");
    EXPECT_EQ(Read(Extracted("cut.bin")), data.substr(0, 40000));  // what was there is kept
}

TEST_F(ArchiveTest, DataEndingInsideAPassedOverEntryFails) {
    // zlib skips lazily: the missing data shows only at the next read.
    WriteArchive(Entry("first.txt", '0', "first") + Header("link", '2', 5000) + Pattern(1000, 5));
    EXPECT_FALSE(Extract());
    WriteArchive(Entry("first.txt", '0', "first") + Header("last.txt", '0', 100) + Pattern(100, 6));
    EXPECT_FALSE(Extract());  // the padding of the last entry is missing
}

TEST_F(ArchiveTest, AShortHeaderFails) {
    WriteArchive(Entry("first.txt", '0', "first") + Header("second.txt", '0', 6).substr(0, 300));
    EXPECT_FALSE(Extract());
    // The header itself is whole, the 12 bytes behind it are not: the file is
    // created, its data is missing.
    WriteArchive(Entry("first.txt", '0', "first") + Header("second.txt", '0', 6).substr(0, 505));
    EXPECT_FALSE(Extract());
    EXPECT_EQ(Read(Extracted("second.txt")), "");
}

TEST_F(ArchiveTest, ACutCompressedStreamFails) {
    WriteArchive(Entry("a.bin", '0', Pattern(200000, 7)) + EndBlocks, true);
    EXPECT_FALSE(Extract());
}

TEST_F(ArchiveTest, ASizeFieldThatWrapsFails) {
    std::string header = Header("huge", '2', 0);
    memcpy(&header[124], "77777777777", 11);
    WriteArchive(header + Entry("after.txt", '0', "after") + EndBlocks);
    EXPECT_FALSE(Extract());
    EXPECT_FALSE(Exists(Extracted("after.txt")));
}

TEST_F(ArchiveTest, AMissingArchiveOrDestinationLeavesTheCurrentDirectory) {
    std::string before = CurrentDirectory();
    EXPECT_FALSE(Extract());
    WriteArchive(Entry("a.txt", '0', "a") + EndBlocks);
    EXPECT_FALSE(ExtractTarGz(Archive().c_str(), (root_ + "\\missing").c_str(), nullptr, 0));
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_FALSE(Exists(root_ + "\\a.txt"));
}

TEST_F(ArchiveTest, AnEmptyOrUncompressedFileIsReadAsItStands) {
    Write(Archive(), "");
    EXPECT_TRUE(Extract());  // nothing in it
    Write(Archive(), Entry("plain.txt", '0', "plain") + EndBlocks);
    EXPECT_TRUE(Extract());
    EXPECT_EQ(Read(Extracted("plain.txt")), "plain");
    Write(Archive(), "not an archive");
    EXPECT_FALSE(Extract());  // a short header read
}

TEST_F(ArchiveTest, TheBarFollowsTheStreamOffsetAgainstTheConfiguredSize) {
    ProgressWindow window;
    ASSERT_TRUE(window.HasBar());
    // b.txt's data starts at 2048 of 4096 bytes, and ends 10 bytes later.
    WriteArchive(Entry("a.txt", '0', Pattern(1000, 9)) + Entry("b.txt", '0', "0123456789") + EndBlocks);
    EXPECT_TRUE(ExtractTarGz(Archive().c_str(), Destination().c_str(), window.Dialog(), 4096));
    EXPECT_EQ(window.Position(), 50);
    // Key 151 = 0: the bar is left where it is.
    window.SetPosition(42);
    EXPECT_TRUE(ExtractTarGz(Archive().c_str(), Destination().c_str(), window.Dialog(), 0));
    EXPECT_EQ(window.Position(), 42);
}

TEST_F(ArchiveTest, OneFilesDataIsCopiedFromTheStream) {
    const std::string data = Pattern(100000, 8);
    WriteArchive(data + "rest");
    gzFile stream = gzopen(Archive().c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    std::string path = Extracted("copy.bin");
    EXPECT_TRUE(WriteEntryFile(stream, path.c_str(), int32_t(data.size()), nullptr, 0));
    EXPECT_EQ(Read(path), data);
    char rest[8] = {};
    EXPECT_EQ(gzread(stream, rest, sizeof rest), 4);
    EXPECT_STREQ(rest, "rest");
    // Asked for more than the stream holds: what there is is written, and false.
    EXPECT_FALSE(WriteEntryFile(stream, path.c_str(), 10, nullptr, 0));
    EXPECT_EQ(Read(path), "");
    gzclose_r(stream);
}

// --- the pack-expansion animation ------------------------------------------

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window_.HasBar());
        dialog_ = window_.Dialog();
        Progress.jarsExpanded = false;
    }
    void TearDown() override {
        Progress.jarsExpanded = false;
        Progress.extractionTime = 0;
    }
    int Position() const { return window_.Position(); }

    ProgressWindow window_;
    HWND dialog_ = nullptr;
};

TEST_F(AnimationTest, TenStepsFrom110To200PacedByATenthOfTheExtractionTime) {
    Progress.extractionTime = 300;
    DWORD start = GetTickCount();
    AnimateJarExpansion(dialog_);
    EXPECT_EQ(Position(), 200);
    EXPECT_GE(GetTickCount() - start, 250u);  // ten sleeps of 30 ms
}

TEST_F(AnimationTest, NothingMovesOnceTheJarsAreExpanded) {
    Progress.extractionTime = 300;
    Progress.jarsExpanded = true;
    AnimateJarExpansion(dialog_);
    EXPECT_EQ(Position(), 0);
}

TEST_F(AnimationTest, StopsEarlyWhenTheExpansionEndsFirst) {
    Progress.extractionTime = 2000;  // a step every 200 ms
    HANDLE thread = CreateThread(nullptr, 0, AnimateJarExpansion, dialog_, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    DWORD start = GetTickCount();
    // The bar belongs to this thread: serve the animation's messages meanwhile.
    for (;;) {
        if (!Progress.jarsExpanded && GetTickCount() - start > 300) Progress.jarsExpanded = true;
        DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, 20, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseHandle(thread);
    EXPECT_GE(Position(), 110);
    EXPECT_LT(Position(), 200);
}

}  // namespace
