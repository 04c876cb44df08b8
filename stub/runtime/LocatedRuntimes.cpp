// LocatedRuntimes.cpp — remembering hand-picked runtimes as registry keys
// without values, and scanning both hives for the best one.
#include "LocatedRuntimes.h"

#include <windows.h>
#include <cstring>

#include "MachineRegistry.h"
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

// What the walk over one hive's entries keeps: the best accepted so far.
struct LocatedWalk {
    const VersionBounds& bounds;
    RuntimeCandidate& best;
    bool found;
    RuntimeCandidate candidate;
};

static void JudgeLocatedEntry(const char* name, void* context) {
    LocatedWalk& walk = *static_cast<LocatedWalk*>(context);
    BeginCandidate(walk.candidate, CandidateSource::LocatedRuntime, name);
    strcpy(walk.candidate.executable, name);
    KeyNameToPath(walk.candidate.executable);
    if (AcceptExecutable(walk.candidate, walk.bounds))
        KeepGreaterVersion(walk.best, walk.found, walk.candidate, strcmp);
}

// The best accepted entry of one hive; among equal versions the one
// enumerated first.
static bool FindInHive(HKEY hive, const VersionBounds& bounds, RuntimeCandidate& best) {
    LocatedWalk walk{bounds, best, false, {}};
    ForEachSubkey(hive, LOCATED_RUNTIMES_KEY, JudgeLocatedEntry, &walk);
    return walk.found;
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
