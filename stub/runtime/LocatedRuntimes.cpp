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

// Keeps the greater of two accepted candidates in `best` (`haveBest` says
// whether it holds one) and reports the other as Outranked. Only a strictly
// greater version replaces `best`, so among equal versions the one seen
// first stays.
static void KeepGreater(RuntimeCandidate& best, bool& haveBest, RuntimeCandidate& other) {
    if (haveBest && strcmp(other.version, best.version) <= 0) {
        Decide(other, Verdict::Outranked);
        return;
    }
    if (haveBest) Decide(best, Verdict::Outranked);
    best = other;
    haveBest = true;
}

// The best accepted entry of one hive.
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
        if (AcceptExecutable(candidate, bounds)) KeepGreater(best, found, candidate);
    }
    RegCloseKey(list);
    return found;
}

bool FindLocatedRuntime(RuntimeCandidate& best, const VersionBounds& bounds) {
    RuntimeCandidate perUser;
    bool found = FindInHive(HKEY_CURRENT_USER, bounds, perUser);
    bool perMachine = FindInHive(HKEY_LOCAL_MACHINE, bounds, best);
    // The machine's entry comes first here, so it wins a tie.
    if (found && perMachine) KeepGreater(best, perMachine, perUser);
    else if (found) best = perUser;
    return found || perMachine;
}
