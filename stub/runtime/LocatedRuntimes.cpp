// LocatedRuntimes.cpp — remembering hand-picked runtimes as registry keys
// without values, and scanning both hives for the best one.
#include "LocatedRuntimes.h"

#include <windows.h>
#include <cstring>

#include "ConfigBlock.h"
#include "RuntimeProbe.h"
#include "VersionCache.h"

static bool CreateRuntimeKey(HKEY hive, const char* keyName) {
    HKEY key;
    if (RegCreateKeyExA(hive, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void RememberLocatedRuntime(const char* executable) {
    char keyName[TextBufferSize];
    if (!RuntimeKeyName(keyName, sizeof keyName, LOCATED_RUNTIMES_KEY, executable)) return;
    if (!CreateRuntimeKey(HKEY_LOCAL_MACHINE, keyName)) CreateRuntimeKey(HKEY_CURRENT_USER, keyName);
}

// The best accepted entry of one hive. `best` starts empty, and only a
// strictly greater version replaces it, so among equal versions the entry
// enumerated first stays.
static bool FindInHive(HKEY hive, const char* minimum, const char* maximum, char* executable, char* best) {
    HKEY list;
    best[0] = '\0';
    if (RegOpenKeyExA(hive, LOCATED_RUNTIMES_KEY, 0, KEY_READ, &list) != ERROR_SUCCESS) return false;
    char candidate[TextBufferSize], version[TextBufferSize];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = sizeof candidate;
        LONG status = RegEnumKeyExA(list, index, candidate, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        KeyNameToPath(candidate);
        if (CheckJavaExecutable(candidate, true, minimum, maximum, version) && strcmp(version, best) > 0) {
            strcpy(best, version);
            strcpy(executable, candidate);
        }
    }
    RegCloseKey(list);
    return best[0] != '\0';
}

bool FindLocatedRuntime(const char* minimum, const char* maximum, char* executable, char* version) {
    char userExecutable[TextBufferSize], userVersion[TextBufferSize];
    bool perUser = FindInHive(HKEY_CURRENT_USER, minimum, maximum, userExecutable, userVersion);
    bool perMachine = FindInHive(HKEY_LOCAL_MACHINE, minimum, maximum, executable, version);
    if (perUser && (!perMachine || strcmp(userVersion, version) > 0)) {
        strcpy(executable, userExecutable);
        strcpy(version, userVersion);
        return true;
    }
    return perMachine;
}
