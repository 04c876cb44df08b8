// The record of payload folders in the registry (of the Wine prefix the
// tests run in) and the removal of the folders whose process has ended: by
// the process's id and start time, never a running process's folder, never a
// path that is not a payload folder. The two tests may run side by side, so
// each looks at its own records only.
#include <gtest/gtest.h>

#include <string>

#include "FileUtils.h"
#include "PayloadFolders.h"
#include "TestFiles.h"

namespace {

const char* const FoldersKey = LAUNCHER_REGISTRY_KEY "payloads\\";

struct Owner {
    DWORD processId;
    FILETIME started;
};

std::string TempDirectory() {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    return directory;
}

// A folder named as the launcher names payload folders, with a file, a
// read-only file and a subfolder in it.
std::string MakePayloadFolder(const std::string& suffix) {
    std::string folder = TempDirectory() + "kslF" + std::to_string(GetCurrentProcessId()) + ".tmp_dir" + suffix;
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\jre").c_str(), nullptr);
    WriteFileBytes(folder + "\\app.jar", "jar");
    WriteFileBytes(folder + "\\jre\\release", "runtime");
    SetFileAttributesA((folder + "\\jre\\release").c_str(), FILE_ATTRIBUTE_READONLY);
    return folder;
}

void WriteRecord(const std::string& folder, const Owner& owner) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, FoldersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, folder.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&owner), sizeof owner);
    RegCloseKey(key);
}

// The recorded owner of `folder`; false when there is no record.
bool ReadRecord(const std::string& folder, Owner* owner) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, FoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof *owner;
    LONG status = RegQueryValueExA(key, folder.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(owner), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_BINARY && size == sizeof *owner;
}

Owner OwnerOf(HANDLE process) {
    Owner owner = {GetProcessId(process), {0, 0}};
    FILETIME exited, kernel, user;
    GetProcessTimes(process, &owner.started, &exited, &kernel, &user);
    return owner;
}

// A process that has ended: its id and start time.
Owner EndedProcess() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char command[] = "cmd.exe /c exit 0";
    EXPECT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    Owner owner = OwnerOf(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return owner;
}

TEST(PayloadFolders, OnlyTheFoldersOfEndedProcessesGoWithTheirRecords) {
    std::string own = MakePayloadFolder("1"), ended = MakePayloadFolder("2"), reused = MakePayloadFolder("3");
    RecordPayloadFolder(own.c_str());
    Owner recorded;
    ASSERT_TRUE(ReadRecord(own, &recorded));
    Owner self = OwnerOf(GetCurrentProcess());
    EXPECT_EQ(recorded.processId, self.processId);
    EXPECT_EQ(CompareFileTime(&recorded.started, &self.started), 0);

    WriteRecord(ended, EndedProcess());
    // This process's id with another start time: a process that reused the id.
    Owner earlier = self;
    earlier.started.dwLowDateTime -= 10000000;
    WriteRecord(reused, earlier);

    RemoveFoldersOfEndedStarts();
    EXPECT_TRUE(FileExists((own + "\\jre\\release").c_str()));
    EXPECT_TRUE(ReadRecord(own, &recorded));
    for (const std::string& gone : {ended, reused}) {
        EXPECT_FALSE(FileExists(gone.c_str())) << gone;
        EXPECT_FALSE(ReadRecord(gone, &recorded)) << gone;
    }
    DeleteDirectoryTree(own.c_str());
}

TEST(PayloadFolders, ARecordThatNamesNoPayloadFolderIsDroppedAndNothingDeleted) {
    std::string kept = TempDirectory() + "kestrel-kept-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(kept.c_str(), nullptr);
    WriteFileBytes(kept + "\\data.txt", "keep me");
    WriteRecord(kept, EndedProcess());
    std::string unreadable = MakePayloadFolder("4");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, FoldersKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, unreadable.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);

    RemoveFoldersOfEndedStarts();
    Owner recorded;
    EXPECT_EQ(ReadFileBytes(kept + "\\data.txt"), "keep me");
    EXPECT_FALSE(ReadRecord(kept, &recorded));
    EXPECT_TRUE(FileExists(unreadable.c_str()));
    EXPECT_FALSE(ReadRecord(unreadable, &recorded));
    DeleteDirectoryTree(kept.c_str());
    DeleteDirectoryTree(unreadable.c_str());
    EXPECT_FALSE(FileExists(kept.c_str()));
}

}  // namespace
