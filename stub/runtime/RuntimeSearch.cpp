// RuntimeSearch.cpp — the sources of the search sequence and the order in
// which the search asks them.
#include "RuntimeSearch.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

#include "ConfigBlock.h"
#include "ConfigKeys.h"
#include "DecisionTrace.h"
#include "FileUtils.h"
#include "InstalledRuntimes.h"
#include "PackExpansion.h"
#include "PathText.h"
#include "RegisteredRuntimes.h"

bool AcceptDesignatedHome(RuntimeCandidate& candidate, CandidateSource source, const char* directory,
                          const VersionBounds& bounds) {
    BeginCandidate(candidate, source, directory);
    if (!NormalisePath(candidate.home, sizeof candidate.home, directory, false))
        return Decide(candidate, Verdict::PathUnusable);
    // A runtime whose jars cannot all be expanded is incomplete.
    if (!ExpandPackedJars(candidate.home)) return Decide(candidate, Verdict::JarsPacked);
    return AcceptHome(candidate, bounds);
}

// The runtime directory in the variable `name`, as it is (not resolved, no
// packed jars expanded).
static bool AcceptEnvironmentHome(RuntimeCandidate& candidate, const char* name, const VersionBounds& bounds) {
    BeginCandidate(candidate, CandidateSource::EnvironmentVariable, name);
    DWORD length = GetEnvironmentVariableA(name, candidate.home, sizeof candidate.home);
    if (length == 0) return Decide(candidate, Verdict::NothingNamed);
    if (length >= sizeof candidate.home) return Decide(candidate, Verdict::PathUnusable);
    return AcceptHome(candidate, bounds);
}

// java.exe found by the system's executable search (the launcher's own
// directory, the system directories and PATH as extended at start).
static bool AcceptOnSearchPath(RuntimeCandidate& candidate, const char* argument, const VersionBounds& bounds) {
    BeginCandidate(candidate, CandidateSource::PathSearch, argument);
    DWORD length =
        SearchPathA(nullptr, "java.exe", nullptr, sizeof candidate.executable, candidate.executable, nullptr);
    if (length == 0) return Decide(candidate, Verdict::NothingNamed);
    if (length >= sizeof candidate.executable) return Decide(candidate, Verdict::PathUnusable);
    return AcceptExecutable(candidate, bounds);
}

// The first line of the runtime file `relativeName` (such as
// "\.tanager\pref_jre.cfg") below the application directory, line end
// removed; false when there is no file, no line, or a line that does not
// fit `line` (TextBufferSize bytes).
static bool ReadRuntimeFile(const char* relativeName, char* line) {
    char applicationDirectory[TextBufferSize], configured[TextBufferSize], path[TextBufferSize];
    ConfigString(Key::ApplicationDirectory, configured, sizeof configured);
    if (!NormalisePath(applicationDirectory, sizeof applicationDirectory, configured, false)) return false;
    path[0] = '\0';
    if (!AppendBounded(path, sizeof path, applicationDirectory) || !AppendBounded(path, sizeof path, relativeName))
        return false;
    // The application directory may end with a separator of its own.
    CollapseBackslashes(path);
    FILE* file = fopen(path, "r");
    if (!file) return false;
    bool read = fgets(line, TextBufferSize, file) != nullptr;
    // A line that filled the buffer without its end was cut: not a path to use.
    bool whole = read && (strchr(line, '\n') || feof(file));
    fclose(file);
    if (!whole) return false;
    line[strcspn(line, "\r\n")] = '\0';
    return true;
}

// One runtime file's line as a designated runtime directory.
static bool AcceptRuntimeFile(RuntimeCandidate& candidate, const char* relativeName, const VersionBounds& bounds) {
    char line[TextBufferSize];
    if (ReadRuntimeFile(relativeName, line))
        return AcceptDesignatedHome(candidate, CandidateSource::RuntimeFile, line, bounds);
    BeginCandidate(candidate, CandidateSource::RuntimeFile, relativeName);
    return Decide(candidate, Verdict::NothingNamed);
}

// One token of the search sequence: its first character selects the source
// (case-sensitive), the rest is the source's argument. Other letters are
// passed over.
static bool AcceptSequenceToken(RuntimeCandidate& candidate, const char* token, const VersionBounds& bounds) {
    const char* argument = token + 1;
    TRACE("search: token %s", token);
    switch (token[0]) {
    case 'A':
    case 'R':
        return AcceptDesignatedHome(candidate, CandidateSource::DesignatedDirectory, argument, bounds);
    case 'E':
        return AcceptEnvironmentHome(candidate, argument, bounds);
    case 'S':
        return AcceptOnSearchPath(candidate, argument, bounds);
    case 'Y':
        return FindRegistryRuntime(candidate, bounds);
    case 'V':
        return FindRegisteredRuntime(candidate, bounds);
    default:
        TRACE("search: token %s passed over: no source has the letter %c", token, token[0]);
        return false;
    }
}

// Walks the ';'-separated tokens of Key::SearchSequence in order, skipping
// empty ones.
static bool AcceptSearchSequence(RuntimeCandidate& candidate, const VersionBounds& bounds) {
    char sequence[TextBufferSize];
    ConfigString(Key::SearchSequence, sequence, sizeof sequence);
    for (char* token = sequence; *token;) {
        size_t length = strcspn(token, ";");
        char* next = token[length] ? token + length + 1 : token + length;
        token[length] = '\0';
        if (length > 0 && AcceptSequenceToken(candidate, token, bounds)) return true;
        token = next;
    }
    return false;
}

// "KESTREL_JAVA_HOME" for an application launcher, "TANAGER_JAVA_HOME" for
// an installer, none for any other flavour.
static const char* ProductVariable() {
    if (ProductFlavour == 'e') return "KESTREL_JAVA_HOME";
    if (ProductFlavour == 'i') return "TANAGER_JAVA_HOME";
    return nullptr;
}

static bool AcceptProductVariable(RuntimeCandidate& candidate, const VersionBounds& bounds) {
    const char* variable = ProductVariable();
    return variable && AcceptEnvironmentHome(candidate, variable, bounds);
}

bool SearchJavaRuntime(RuntimeCandidate& result) {
    VersionBounds bounds;
    ReadVersionBounds(bounds);
    TRACE("search: versions from \"%s\" to \"%s\", beta versions %s", bounds.minimum, bounds.maximum,
          ConfigInt(Key::AcceptBeta) != 0 ? "from every source" : "only from runtimes named explicitly");
    return AcceptRuntimeFile(result, "\\.tanager\\pref_jre.cfg", bounds) || AcceptSearchSequence(result, bounds) ||
           AcceptProductVariable(result, bounds) || AcceptRuntimeFile(result, "\\.tanager\\inst_jre.cfg", bounds);
}
