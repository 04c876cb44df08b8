// RegisteredRuntimes.cpp — the registration layouts, walking each one's
// runtime keys, and the choice by version.
#include "RegisteredRuntimes.h"

#include <windows.h>
#include <cstring>

#include "JavaVersion.h"
#include "MachineRegistry.h"
#include "PathText.h"
#include "StringList.h"

// Where one kind of installer registers its runtimes under
// HKEY_LOCAL_MACHINE: one sub-key of `key` per runtime, whose `homeKey` (a
// path below the sub-key, or nothing) holds the home in the string value
// `homeValue`.
struct RegistrationLayout {
    const char* key;
    const char* homeKey;
    const char* homeValue;
};

static const RegistrationLayout Layouts[] = {
    {"SOFTWARE\\JavaSoft\\JDK", "", "JavaHome"},
    {"SOFTWARE\\JavaSoft\\JRE", "", "JavaHome"},
    {"SOFTWARE\\Eclipse Adoptium\\JDK", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Eclipse Adoptium\\JRE", "\\hotspot\\MSI", "Path"},
    {"SOFTWARE\\Azul Systems\\Zulu", "", "InstallationPath"},
    {"SOFTWARE\\BellSoft\\Liberica", "", "InstallationPath"},
    {"SOFTWARE\\Microsoft\\JDK", "\\hotspot\\MSI", "Path"},
};

// The registry key names longer than this do not exist.
constexpr DWORD KeyNameSize = 256;

// What the walk keeps between runtimes: the best so far and the homes
// already judged (a runtime is often registered more than once: under
// JavaSoft and under its vendor's key, and as the current version).
struct RegistrationWalk {
    const VersionBounds& bounds;
    RuntimeCandidate& best;
    bool found;
    StringList homesSeen;
    RuntimeCandidate candidate;
};

static bool AlreadySeen(StringList& homes, const char* home) {
    for (size_t i = 0; i < homes.Count(); ++i)
        if (lstrcmpiA(homes.At(i), home) == 0) return true;
    homes.Append(home);
    return false;
}

// Judges the runtime registered under `runtimeKey` of `layout`.
static void JudgeRegistration(const RegistrationLayout& layout, const char* runtimeKey, RegistrationWalk& walk) {
    char keyName[TextBufferSize] = "";
    RuntimeCandidate& candidate = walk.candidate;
    if (!AppendBounded(keyName, sizeof keyName, layout.key) || !AppendBounded(keyName, sizeof keyName, "\\") ||
        !AppendBounded(keyName, sizeof keyName, runtimeKey) || !AppendBounded(keyName, sizeof keyName, layout.homeKey))
        return;
    BeginCandidate(candidate, CandidateSource::Registration, keyName);
    if (!ReadMachineString(keyName, layout.homeValue, candidate.home, sizeof candidate.home) || !candidate.home[0]) {
        Decide(candidate, Verdict::NothingNamed);
        return;
    }
    if (AlreadySeen(walk.homesSeen, candidate.home)) return;
    if (AcceptHome(candidate, walk.bounds)) KeepGreaterVersion(walk.best, walk.found, candidate, CompareVersionNumbers);
}

// One layout's walk: the layout and the walk it adds to.
struct LayoutWalk {
    const RegistrationLayout& layout;
    RegistrationWalk& walk;
};

static void JudgeRuntimeKey(const char* name, void* context) {
    LayoutWalk& layoutWalk = *static_cast<LayoutWalk*>(context);
    JudgeRegistration(layoutWalk.layout, name, layoutWalk.walk);
}

// The runtime named by the layout's "CurrentVersion" first, where it has
// one, then every runtime key in the registry's order.
static void WalkLayout(const RegistrationLayout& layout, RegistrationWalk& walk) {
    char current[KeyNameSize];
    if (ReadMachineString(layout.key, "CurrentVersion", current, sizeof current) && current[0])
        JudgeRegistration(layout, current, walk);
    LayoutWalk layoutWalk{layout, walk};
    ForEachSubkey(HKEY_LOCAL_MACHINE, layout.key, JudgeRuntimeKey, &layoutWalk);
}

bool FindRegisteredRuntime(RuntimeCandidate& result, const VersionBounds& bounds) {
    RegistrationWalk walk{bounds, result, false, {}, {}};
    for (const RegistrationLayout& layout : Layouts) WalkLayout(layout, walk);
    return walk.found;
}
