// The per-user deletion lists in the registry (of the Wine prefix the tests
// run in): value layout, appending, the full-list rule, and the exit cleanup
// recording the in-memory lists once per call.
#include <gtest/gtest.h>

#include <string>

#include "ConfigBlock.h"
#include "DeletionList.h"
#include "DeletionRegistry.h"
#include "ErrorReporting.h"
#include "FileUtils.h"

namespace {

const char* const TempKey = LAUNCHER_REGISTRY_KEY "temp\\";

void DeleteLists() { RegDeleteKeyA(HKEY_CURRENT_USER, TempKey); }

bool KeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TempKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The value's text (the ANSI read may add a terminator), or "<absent>".
std::string ReadList(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, TempKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<absent>";
    std::string text(20000, '\0');
    DWORD size = DWORD(text.size());
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)&text[0], &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "<absent>";
    return text.c_str();
}

// The value's type and its stored length in characters, read in UTF-16 (as
// the registry keeps it), so that no terminator is added by the reading.
void StoredShape(const wchar_t* name, DWORD* type, DWORD* characters) {
    HKEY key;
    *type = REG_NONE;
    *characters = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\larkspur\\kestrel\\temp\\", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS) *characters = size / 2;
    RegCloseKey(key);
}

void WriteList(const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TempKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)text.c_str(), DWORD(text.size()));
    RegCloseKey(key);
}

// The registry lists are process-wide (and CTest runs tests side by side),
// so every case runs in this one test, one after another.
TEST(DeletionRegistry, LayoutAppendingFullListsAndTheExitCleanup) {
    DeleteLists();
    {
        SCOPED_TRACE("nothing registered: the exit cleanup leaves the registry untouched");
        RunExitCleanup();
        EXPECT_FALSE(KeyExists());
    }
    {
        SCOPED_TRACE("an absent value is created holding the entry");
        AppendDeletionEntry("c:\\t\\ksl1.tmp_dir2\\a.jar", "delete_file");
        EXPECT_EQ(ReadList("delete_file"), "c:\\t\\ksl1.tmp_dir2\\a.jar;");
        DWORD type = 0, length = 0;
        StoredShape(L"delete_file", &type, &length);
        EXPECT_EQ(type, DWORD(REG_SZ));
        // The launcher passes the text length without terminator; the system
        // adds the terminator a caller did not count (as Windows NT does).
        DWORD text = DWORD(strlen("c:\\t\\ksl1.tmp_dir2\\a.jar;"));
        EXPECT_TRUE(length == text || length == text + 1) << length;
        AppendDeletionEntry("c:\\t\\b", "delete_file");
        EXPECT_EQ(ReadList("delete_file"), "c:\\t\\ksl1.tmp_dir2\\a.jar;c:\\t\\b;");
        EXPECT_EQ(ReadList("delete_dir"), "<absent>");
        DeleteLists();
    }
    {
        SCOPED_TRACE("paths that could not be split back out are not recorded");
        AppendDeletionEntry("c:\\a;b", "delete_file");
        AppendDeletionEntry("", "delete_file");
        EXPECT_EQ(ReadList("delete_file"), "<absent>");
    }
    {
        SCOPED_TRACE("a list that would outgrow its 8192-byte buffer is left whole");
        std::string nearlyFull(TextBufferSize - 10, 'p');
        nearlyFull.back() = ';';
        WriteList("delete_dir", nearlyFull);
        AppendDeletionEntry("c:\\0123456789", "delete_dir");  // 14 bytes do not fit behind 8182
        EXPECT_EQ(ReadList("delete_dir"), nearlyFull);
        AppendDeletionEntry("c:\\x", "delete_dir");  // 5 bytes and the terminator do
        EXPECT_EQ(ReadList("delete_dir"), nearlyFull + "c:\\x;");
        std::string overlong(TextBufferSize + 100, 'q');
        WriteList("delete_file", overlong);
        AppendDeletionEntry("c:\\x", "delete_file");
        EXPECT_EQ(ReadList("delete_file"), overlong);  // not replaced by the new entry alone
        DeleteLists();
    }
    {
        SCOPED_TRACE("files in registration order, then directories; again on a second report");
        RegisterFileForDeletion("c:\\t\\d1\\a.jar");
        RegisterFileForDeletion("c:\\t\\d1\\empty.txt");
        RegisterDirectoryForDeletion("c:\\t\\d1");
        RegisterFileForDeletion("c:\\t\\d1\\late.txt");
        RunExitCleanup();
        const std::string files = "c:\\t\\d1\\a.jar;c:\\t\\d1\\empty.txt;c:\\t\\d1\\late.txt;";
        EXPECT_EQ(ReadList("delete_file"), files);
        EXPECT_EQ(ReadList("delete_dir"), "c:\\t\\d1;");
        RunExitCleanup();
        EXPECT_EQ(ReadList("delete_file"), files + files);
        EXPECT_EQ(ReadList("delete_dir"), "c:\\t\\d1;c:\\t\\d1;");
    }
    DeleteLists();
}

}  // namespace
