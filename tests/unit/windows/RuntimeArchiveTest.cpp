// The runtime archive on disk under Wine (the tar loop itself is tested
// natively in tests/unit/core): gzip archives written by the test with zlib
// and unpacked through the wide file API — parents made for files, long and
// non-ASCII names, hostile and device names, files and directories in each
// other's way, duplicates, damaged and cut streams, the declared size, the
// user's Cancel, the free space watched across many files — and the
// pack-expansion animation on a real progress bar.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../core/TarTestArchive.h"
#include "ArchiveTarget.h"
#include "Cancellation.h"
#include "DirectoryTree.h"
#include "Progress.h"
#include "Resources.h"
#include "RuntimeArchive.h"
#include "TestFiles.h"
#include "TextBuffer.h"

namespace {

using namespace tartest;

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

std::wstring Wide(const std::string& utf8) {
    std::wstring out(utf8.size() + 1, L'\0');
    out.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &out[0], int(out.size()))) - 1);
    return out;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ = std::wstring(temp) + L"kestrel-unit-archive-" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(Long(root_).c_str());
        CreateDirectoryW(root_.c_str(), nullptr);
        CreateDirectoryW(Destination().c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(Long(root_).c_str()); }

    static std::wstring Long(const std::wstring& path) { return L"\\\\?\\" + path; }
    std::wstring Destination() const { return root_ + L"\\jre"; }
    std::wstring Archive() const { return root_ + L"\\jre.tar.gz"; }
    // An extracted file by its UTF-8 name with '\' separators.
    std::wstring Extracted(const std::string& name) const { return Long(Destination() + L"\\" + Wide(name)); }

    // Writes `tar` gzip-compressed; `edit` may change the compressed bytes.
    void WriteArchive(const std::string& tar, void (*edit)(std::string&) = nullptr) const {
        const std::wstring archive = Archive();
        const std::string path(archive.begin(), archive.end());  // the test's paths are ASCII
        gzFile out = gzopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        if (!tar.empty()) ASSERT_EQ(gzwrite(out, tar.data(), unsigned(tar.size())), int(tar.size()));
        gzclose(out);
        if (edit) {
            std::string compressed = ReadFileBytes(Archive());
            edit(compressed);
            WriteFileBytes(Archive(), compressed);
        }
    }

    TarStatus Extract(HWND dialog = nullptr, int32_t declaredSize = 0) {
        failedPath_[0] = '\0';
        return ExtractArchive(Archive().c_str(), Destination().c_str(), dialog, declaredSize, failedPath_);
    }

    // The names in a directory, sorted, as UTF-8 ("." and ".." left out).
    static std::vector<std::string> Names(const std::wstring& directory) {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((Long(directory) + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            char name[MAX_PATH * 3];
            WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, nullptr, nullptr);
            if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0) names.push_back(name);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::wstring root_;
    char failedPath_[TextBufferSize];
};

using Listing = std::vector<std::string>;

TEST_F(ArchiveTest, DirectoriesAndFilesUpToTheEndBlocks) {
    const std::string big = Pattern(3 * 32768 + 100, 1), block = Pattern(1024, 2);
    WriteArchive(Directory("bin/") + File("bin/java.exe", big) + Directory("bin/client/") +
                 File("bin/client/jvm.dll", block) + File("release", "tiny") + File("empty", "") + EndBlocks() +
                 File("behind-the-end", "never") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("bin\\java.exe")), big);
    EXPECT_EQ(ReadFileBytes(Extracted("bin\\client\\jvm.dll")), block);
    EXPECT_EQ(ReadFileBytes(Extracted("release")), "tiny");
    EXPECT_EQ(ReadFileBytes(Extracted("empty")), "");
    EXPECT_EQ(Names(Destination()), (Listing{"bin", "empty", "release"}));
}

TEST_F(ArchiveTest, FilesWithoutDirectoryEntriesGetTheirParents) {
    WriteArchive(File("bin/client/jvm.dll", "jvm") + File("lib/security/cacerts", "certs") +
                 File("lib/rt.jar", "rt") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("bin\\client\\jvm.dll")), "jvm");
    EXPECT_EQ(ReadFileBytes(Extracted("lib\\security\\cacerts")), "certs");
    EXPECT_EQ(ReadFileBytes(Extracted("lib\\rt.jar")), "rt");
}

TEST_F(ArchiveTest, LongAndNonAsciiNamesArriveIntact) {
    // 180 bytes, as a runtime's deepest names come; and one that passes the
    // 260 characters of a plain path whatever the temporary directory.
    std::string deep = "legal/java.base/" + std::string(70, 'd') + "/" + std::string(80, 'f') + ".txt";
    deep.insert(0, std::string(180 - deep.size() - 1, 'p') + "/");
    ASSERT_EQ(deep.size(), 180u);
    const std::string deeper = deep.substr(0, 100) + "/" + std::string(100, 'e') + "/" + std::string(150, 'r');
    const std::string japanese = "lib/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e/\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88.txt";
    const std::string accented = "conf/caf\xc3\xa9-\xc5\x93uvre.properties";  // not all of it in Windows-1252
    WriteArchive(GnuLongFile(deep, "deep") + GnuLongFile(deeper, "deeper") +
                 PaxFile(PaxRecord("path", japanese), "cut", "nihongo") + File(accented, "accents") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    auto windows = [](std::string name) {
        std::replace(name.begin(), name.end(), '/', '\\');
        return name;
    };
    EXPECT_GT(Destination().size() + deeper.size(), size_t(MAX_PATH));
    EXPECT_EQ(ReadFileBytes(Extracted(windows(deep))), "deep");
    EXPECT_EQ(ReadFileBytes(Extracted(windows(deeper))), "deeper");
    EXPECT_EQ(ReadFileBytes(Extracted(windows(japanese))), "nihongo");
    EXPECT_EQ(ReadFileBytes(Extracted(windows(accented))), "accents");
    EXPECT_EQ(Names(Destination() + L"\\lib"), Listing{"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"});
}

TEST_F(ArchiveTest, NamesThatAreNoUtf8AreReadInTheAnsiCodePage) {
    WriteArchive(File("caf\xe9.txt", "latin") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    wchar_t expected[16];
    MultiByteToWideChar(CP_ACP, 0, "caf\xe9.txt", -1, expected, 16);
    EXPECT_EQ(ReadFileBytes(Long(Destination() + L"\\" + expected)), "latin");
}

TEST_F(ArchiveTest, HostileAndDeviceNamesAreSkippedWithTheirData) {
    std::string tar = Directory("sub/");
    for (const char* name : {"../up.txt", "sub/../../up2.txt", "/rooted.txt", "C:/drive.txt", "C:drive2.txt",
                             "..\\up3.txt", "sub/x:stream", "...", "sub/... /x", "CON", "con.txt", "bin/con.txt",
                             "aux.txt", "NUL", "COM1", "com9.log", "LPT1", "lpt3.txt", "CONIN$", "sub/CONOUT$",
                             "PRN.x", "COM\xb9", "lpt\xb2.txt", "trailing.", "blank "})
        tar += File(name, "hostile data that must be skipped");
    tar += Directory("../updir/") + Directory("AUX/") + File("sub/kept.txt", "kept") + EndBlocks();
    WriteArchive(tar);
    EXPECT_EQ(Extract(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("sub\\kept.txt")), "kept");
    EXPECT_EQ(Names(root_), (Listing{"jre", "jre.tar.gz"}));
    EXPECT_EQ(Names(Destination()), Listing{"sub"});
    EXPECT_EQ(Names(Destination() + L"\\sub"), Listing{"kept.txt"});
}

TEST_F(ArchiveTest, AFileOverADirectoryAndTheReverseCannotBeCreated) {
    WriteArchive(Directory("bin/") + File("bin/java.exe", "java") + File("bin", "a file where bin is") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::CannotCreate);
    EXPECT_STREQ(failedPath_, "bin");

    WriteArchive(File("lib", "a file") + Directory("lib/") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::CannotCreate);
    EXPECT_STREQ(failedPath_, "lib");

    WriteArchive(File("conf", "a file") + File("conf/security/java.policy", "below a file") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::CannotCreate);
    EXPECT_STREQ(failedPath_, "conf\\security\\java.policy");
}

TEST_F(ArchiveTest, ALaterEntryOfTheSameNameReplacesTheEarlier) {
    WriteArchive(File("release", "first, and longer") + Directory("bin/") + Directory("bin/") +
                 File("release", "second") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("release")), "second");
}

// Compressed-byte edits of a whole archive.
void CutInHalf(std::string& bytes) { bytes.resize(bytes.size() / 2); }
void BreakTheCheckSum(std::string& bytes) { bytes[bytes.size() - 8] ^= 0x55; }  // the CRC-32 in the trailer
void CutTheTrailer(std::string& bytes) { bytes.resize(bytes.size() - 4); }

TEST_F(ArchiveTest, DamagedCutAndForeignArchivesFail) {
    const std::string whole = Directory("bin/") + File("bin/java.exe", Pattern(200000, 7)) + EndBlocks();
    const struct {
        const char* what;
        std::string tar;
        void (*edit)(std::string&);
    } cases[] = {
        {"compressed stream cut in half", whole, CutInHalf},
        {"wrong check sum at the end", whole, BreakTheCheckSum},
        {"trailer cut", whole, CutTheTrailer},
        {"data cut inside a file", whole.substr(0, 3000), nullptr},
        {"empty", "", nullptr},
    };
    for (const auto& c : cases) {
        WriteArchive(c.tar, c.edit);
        EXPECT_EQ(Extract(), TarStatus::Damaged) << c.what;
    }
    WriteFileBytes(Archive(), "not an archive, not even gzip");
    EXPECT_EQ(Extract(), TarStatus::Damaged);
    WriteFileBytes(Archive(), "");
    EXPECT_EQ(Extract(), TarStatus::Damaged);
    DeleteFileW(Archive().c_str());
    EXPECT_EQ(Extract(), TarStatus::Damaged);
}

TEST_F(ArchiveTest, AnUncompressedTarIsReadAsItStands) {
    WriteFileBytes(Archive(), File("plain.txt", "plain") + EndBlocks());
    EXPECT_EQ(Extract(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("plain.txt")), "plain");
}

TEST_F(ArchiveTest, TheDeclaredSizeBoundsTheExpansion) {
    // 100 MB announced by the header: beyond twice the declared 1000 bytes
    // and the margin, so nothing is written.
    WriteArchive(File("small.txt", "small") + Header("bomb.bin", '0', 100u << 20) + std::string(4096, '\0'));
    EXPECT_EQ(Extract(nullptr, 1000), TarStatus::TooLarge);
    EXPECT_EQ(Names(Destination()), Listing{"small.txt"});
    // Without a declared size, the cut stream is what stops it.
    EXPECT_EQ(Extract(nullptr, 0), TarStatus::Damaged);
}

TEST_F(ArchiveTest, TheBarFollowsTheStreamOffsetAgainstTheDeclaredSize) {
    ProgressWindow window;
    ASSERT_TRUE(window.HasBar());
    // b.txt's data starts at 2048 of 4096 bytes, and ends 10 bytes later.
    WriteArchive(File("a.txt", Pattern(1000, 9)) + File("b.txt", "0123456789") + EndBlocks());
    EXPECT_EQ(Extract(window.Dialog(), 4096), TarStatus::Done);
    EXPECT_EQ(window.Position(), 50);
    // Key::ArchiveSize = 0: the bar is left where it is.
    window.SetPosition(42);
    EXPECT_EQ(Extract(window.Dialog(), 0), TarStatus::Done);
    EXPECT_EQ(window.Position(), 42);
}

TEST_F(ArchiveTest, TheUsersCancelStopsTheExtraction) {
    WriteArchive(File("a.txt", "a") + File("b.bin", Pattern(100000, 10)) + EndBlocks());
    RequestCancel();  // no step runs: returns at once
    EXPECT_TRUE(CancelRequested());
    EXPECT_EQ(Extract(), TarStatus::Cancelled);
    EXPECT_EQ(ReadFileBytes(Extracted("b.bin")), "<missing>");
}

TEST_F(ArchiveTest, AFileBeyondTheFreeSpaceStopsAfterManySmallOnes) {
    ArchiveTarget target(Destination().c_str(), nullptr, 0);
    ASSERT_TRUE(target.Ready());
    // Small files pass on the room of an earlier reading of the free space;
    // a file larger than the whole drive's free space must still be refused.
    Listing written;
    for (int i = 0; i < 50; ++i) {
        written.push_back("small" + std::to_string(100 + i));
        ASSERT_EQ(target.BeginFile(written.back().c_str(), 3), TarStatus::Done) << i;
        ASSERT_EQ(target.WriteData("abc", 3), TarStatus::Done);
        ASSERT_EQ(target.EndFile(), TarStatus::Done);
    }
    ULARGE_INTEGER available;
    ASSERT_TRUE(GetDiskFreeSpaceExW(Destination().c_str(), &available, nullptr, nullptr));
    EXPECT_EQ(target.BeginFile("large", available.QuadPart + (1ull << 36)), TarStatus::NoSpace);
    EXPECT_EQ(Names(Destination()), written);
    // The refusal leaves the target working for a file that fits.
    ASSERT_EQ(target.BeginFile("after", 3), TarStatus::Done);
    EXPECT_EQ(target.EndFile(), TarStatus::Done);
    EXPECT_EQ(ReadFileBytes(Extracted("small149")), "abc");
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
