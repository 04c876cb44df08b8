// PayloadFolders.cpp — the registry record of payload folders and the
// removal of those whose process has ended.
#include "PayloadFolders.h"

#include <windows.h>

#include "FileUtils.h"
#include "PathText.h"
#include "StringList.h"
#include "TextBuffer.h"
#include "Threads.h"

#define PAYLOAD_FOLDERS_KEY LAUNCHER_REGISTRY_KEY "payloads\\"

// A record's data (REG_BINARY): the process that made the folder.
struct FolderOwner {
    DWORD processId;
    FILETIME started;
};

static bool StartTimeOf(HANDLE process, FILETIME* started) {
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, started, &exited, &kernel, &user) != 0;
}

void RecordPayloadFolder(const char* folder) {
    FolderOwner owner = {GetCurrentProcessId(), {0, 0}};
    if (!StartTimeOf(GetCurrentProcess(), &owner.started)) return;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PAYLOAD_FOLDERS_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, folder, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&owner), sizeof owner);
    RegCloseKey(key);
}

// Whether the recorded process still runs. A process that exists but cannot
// be opened (another account's, or one started elevated) counts as running:
// its folder is left alone.
static bool IsRunning(const FolderOwner& owner) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, owner.processId);
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    FILETIME started;
    bool same = !StartTimeOf(process, &started) || CompareFileTime(&started, &owner.started) == 0;
    bool running = same && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// Removes the folder of one record when its process has ended; the record
// goes once the folder is gone, or at once when it names no payload folder.
static void ProcessRecord(HKEY key, const char* folder) {
    FolderOwner owner;
    DWORD type = 0, size = sizeof owner;
    bool readable = RegQueryValueExA(key, folder, nullptr, &type, reinterpret_cast<BYTE*>(&owner), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_BINARY && size == sizeof owner;
    if (readable && IsPayloadFolderPath(folder)) {
        if (IsRunning(owner)) return;
        DeleteDirectoryTree(folder);
        if (FileExists(folder)) return;
    }
    RegDeleteValueA(key, folder);
}

// The recorded folders' names, read before any record is deleted, which
// would shift the enumeration.
static void ReadRecordNames(HKEY key, StringList& names) {
    char name[TextBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return;
        if (status == ERROR_SUCCESS && !names.Append(name)) return;
    }
}

void RemoveFoldersOfEndedStarts() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PAYLOAD_FOLDERS_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    StringList names;
    ReadRecordNames(key, names);
    for (size_t i = 0; i < names.Count(); ++i) ProcessRecord(key, names.At(i));
    RegCloseKey(key);
}

static DWORD WINAPI RemoveFoldersOfEndedStartsThread(LPVOID) {
    RemoveFoldersOfEndedStarts();
    return 0;
}

void StartPayloadFolderCleanup() { StartThread(RemoveFoldersOfEndedStartsThread, nullptr, THREAD_PRIORITY_LOWEST); }
