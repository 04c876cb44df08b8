// InstalledRuntimes.cpp — reading the JavaSoft keys of HKEY_LOCAL_MACHINE in
// the two ways (current version, then the version sub-keys from the
// greatest down), and the choice against the located runtimes.
#include "InstalledRuntimes.h"

#include <windows.h>
#include <cstdlib>
#include <cstring>

#include "JavaVersion.h"
#include "LocatedRuntimes.h"
#include "MachineRegistry.h"
#include "PathText.h"
#include "StringList.h"

#define DEVELOPMENT_KIT_KEY "SOFTWARE\\JavaSoft\\Java Development Kit"
#define RUNTIME_ENVIRONMENT_KEY "SOFTWARE\\JavaSoft\\Java Runtime Environment"

// "CurrentVersion" is read into at most this many bytes.
constexpr DWORD CurrentVersionSize = 100;

// Judges the runtime whose home is the "JavaHome" value of `keyName`.
static bool AcceptRegisteredHome(const char* keyName, const VersionBounds& bounds, RuntimeCandidate& candidate) {
    BeginCandidate(candidate, CandidateSource::InstalledRuntime, keyName);
    if (!ReadMachineString(keyName, "JavaHome", candidate.home, sizeof candidate.home))
        return Decide(candidate, Verdict::NothingNamed);
    return AcceptHome(candidate, bounds);
}

// The "CurrentVersion" of `keyName`, empty when absent or outside the bounds.
static void ReadCurrentVersion(const char* keyName, const VersionBounds& bounds, char* out) {
    if (!ReadMachineString(keyName, "CurrentVersion", out, CurrentVersionSize + 1) ||
        !VersionKeyMayMatch(out, bounds.minimum, bounds.maximum))
        out[0] = '\0';
}

// First way: the key of the greater current version, the runtime
// environment's on a tie (also when both are empty: its key then ends in a
// lone separator and normally has no "JavaHome").
static bool FindCurrentVersion(const VersionBounds& bounds, RuntimeCandidate& candidate) {
    char kitVersion[CurrentVersionSize + 1], runtimeVersion[CurrentVersionSize + 1], keyName[TextBufferSize];
    ReadCurrentVersion(DEVELOPMENT_KIT_KEY, bounds, kitVersion);
    ReadCurrentVersion(RUNTIME_ENVIRONMENT_KEY, bounds, runtimeVersion);
    bool kitWins = strcmp(kitVersion, runtimeVersion) > 0;
    strcpy(keyName, kitWins ? DEVELOPMENT_KIT_KEY "\\" : RUNTIME_ENVIRONMENT_KEY "\\");
    strcat(keyName, kitWins ? kitVersion : runtimeVersion);
    return AcceptRegisteredHome(keyName, bounds, candidate);
}

static int CompareNames(const void* a, const void* b) {
    return strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
}

// The sub-key names that may hold a runtime within the bounds.
struct VersionKeys {
    const VersionBounds& bounds;
    StringList& names;
};

static void CollectVersionKey(const char* name, void* context) {
    VersionKeys& keys = *static_cast<VersionKeys*>(context);
    if (VersionKeyMayMatch(name, keys.bounds.minimum, keys.bounds.maximum)) keys.names.Append(name);
}

// Second way, for one JavaSoft key: its matching version keys sorted
// ascending, then checked from the greatest down until one is accepted.
static bool FindGreatestVersionKey(const char* keyName, const VersionBounds& bounds, RuntimeCandidate& candidate) {
    StringList names;
    VersionKeys keys{bounds, names};
    if (!ForEachSubkey(HKEY_LOCAL_MACHINE, keyName, CollectVersionKey, &keys)) return false;
    size_t count = names.Count();
    // The names stay allocated, like every StringList entry; a search runs
    // once or twice per process.
    const char** sorted = static_cast<const char**>(malloc((count + 1) * sizeof(const char*)));
    if (!sorted) return false;
    for (size_t i = 0; i < count; ++i) sorted[i] = names.At(i);
    qsort(sorted, count, sizeof(const char*), CompareNames);
    bool found = false;
    char versionKey[TextBufferSize];
    for (size_t i = count; i-- > 0 && !found;) {
        versionKey[0] = '\0';
        found = AppendBounded(versionKey, sizeof versionKey, keyName) &&
                AppendBounded(versionKey, sizeof versionKey, "\\") &&
                AppendBounded(versionKey, sizeof versionKey, sorted[i]) &&
                AcceptRegisteredHome(versionKey, bounds, candidate);
    }
    free(sorted);
    return found;
}

static bool FindInstalledRuntime(const VersionBounds& bounds, RuntimeCandidate& candidate) {
    return FindCurrentVersion(bounds, candidate) || FindGreatestVersionKey(RUNTIME_ENVIRONMENT_KEY, bounds, candidate) ||
           FindGreatestVersionKey(DEVELOPMENT_KIT_KEY, bounds, candidate);
}

bool FindRegistryRuntime(RuntimeCandidate& result, const VersionBounds& bounds) {
    RuntimeCandidate installed;
    bool haveInstalled = FindInstalledRuntime(bounds, installed);
    bool haveLocated = FindLocatedRuntime(result, bounds);
    // The located runtime is kept on equal versions: the installed one must be greater.
    if (haveInstalled) KeepGreaterVersion(result, haveLocated, installed, strcmp);
    return haveLocated;
}
