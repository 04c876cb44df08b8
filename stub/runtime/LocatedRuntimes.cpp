// LocatedRuntimes.cpp — remembering hand-picked runtimes as registry keys
// without values, and scanning both hives for the best one.
#include "LocatedRuntimes.h"

#include <windows.h>
#include <cstring>

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

// The best accepted entry of one hive; among equal versions the one
// enumerated first.
static bool FindInHive(HKEY hive, const VersionBounds& bounds, RuntimeCandidate& best) {
    HKEY list;
    if (RegOpenKeyExA(hive, LOCATED_RUNTIMES_KEY, 0, KEY_READ, &list) != ERROR_SUCCESS) return false;
    bool found = false;
    RuntimeCandidate candidate;
    for (DWORD index = 0;; ++index) {
        char name[TextBufferSize];
        DWORD nameLength = sizeof name;
        LONG status = RegEnumKeyExA(list, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) continue;
        BeginCandidate(candidate, CandidateSource::LocatedRuntime, name);
        strcpy(candidate.executable, name);
        KeyNameToPath(candidate.executable);
        if (AcceptExecutable(candidate, bounds)) KeepGreaterVersion(best, found, candidate, strcmp);
    }
    RegCloseKey(list);
    return found;
}

bool FindLocatedRuntime(RuntimeCandidate& best, const VersionBounds& bounds) {
    RuntimeCandidate perUser;
    bool found = FindInHive(HKEY_CURRENT_USER, bounds, perUser);
    bool perMachine = FindInHive(HKEY_LOCAL_MACHINE, bounds, best);
    // The machine's entry comes first here, so it wins a tie.
    if (found && perMachine) KeepGreaterVersion(best, perMachine, perUser, strcmp);
    else if (found) best = perUser;
    return found || perMachine;
}
