// WinLoader.cpp — the runtime search sequence, its source checks, and the
// per-source messages when an accepted runtime's library cannot be used.
#include "WinLoader.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

#include "ConfiguredErrors.h"
#include "FileUtils.h"
#include "InstalledRuntimes.h"
#include "JvmLibrary.h"
#include "PackExpansion.h"
#include "PathText.h"
#include "RuntimeProbe.h"
#include "ConfigKeys.h"

// The configured version bounds (keys 126 and 127).
struct VersionBounds {
    char minimum[TextBufferSize];
    char maximum[TextBufferSize];
};

static void ReadVersionBounds(VersionBounds& bounds) {
    ConfigString(Key::MinimumVersion, bounds.minimum, sizeof bounds.minimum);
    ConfigString(Key::MaximumVersion, bounds.maximum, sizeof bounds.maximum);
}

// Copies `text` into a TextBufferSize buffer, cut if ever longer.
static void CopyText(char* out, const char* text) {
    strncpy(out, text, TextBufferSize - 1);
    out[TextBufferSize - 1] = '\0';
}

bool JavaExeFromHome(const char* home, char* executable, size_t capacity) {
    executable[0] = '\0';
    if (!AppendBounded(executable, capacity, home)) return false;
    size_t homeLength = strlen(executable);
    if (AppendBounded(executable, capacity, "\\jre\\bin\\java.exe") && FileExists(executable)) return true;
    executable[homeLength] = '\0';
    return AppendBounded(executable, capacity, "\\bin\\java.exe");
}

bool CheckDesignatedHome(const char* directory, const char* minimum, const char* maximum, char* executable) {
    char resolved[TextBufferSize];
    if (!NormalisePath(resolved, sizeof resolved, directory, false)) return false;
    ExpandPackedJars(resolved);
    return JavaExeFromHome(resolved, executable, TextBufferSize) &&
           CheckJavaExecutable(executable, true, minimum, maximum, nullptr);
}

bool CheckEnvironmentHome(const char* variableName, const char* minimum, const char* maximum,
                          char* executable) {
    char home[TextBufferSize];
    DWORD length = GetEnvironmentVariableA(variableName, home, sizeof home);
    if (length == 0 || length >= sizeof home) return false;
    return JavaExeFromHome(home, executable, TextBufferSize) &&
           CheckJavaExecutable(executable, false, minimum, maximum, nullptr);
}

bool FindOnSearchPath(const char* minimum, const char* maximum, char* executable) {
    DWORD length = SearchPathA(nullptr, "java.exe", nullptr, TextBufferSize, executable, nullptr);
    if (length == 0 || length >= TextBufferSize) return false;
    return CheckJavaExecutable(executable, false, minimum, maximum, nullptr);
}

bool ReadRuntimeFile(const char* relativeName, char* line) {
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

// Tries one runtime file as a designated runtime directory.
static bool TryRuntimeFile(const char* relativeName, const VersionBounds& bounds, RuntimeSearchResult& result) {
    char line[TextBufferSize];
    if (!ReadRuntimeFile(relativeName, line) ||
        !CheckDesignatedHome(line, bounds.minimum, bounds.maximum, result.executable))
        return false;
    result.source = RuntimeSource::DesignatedPath;
    CopyText(result.detail, line);
    return true;
}

// Tries one token of the search sequence: its first character selects the
// source (case-sensitive), the rest is the source's argument.
static bool TrySequenceToken(const char* token, const VersionBounds& bounds, RuntimeSearchResult& result) {
    const char* argument = token + 1;
    const char* minimum = bounds.minimum;
    const char* maximum = bounds.maximum;
    bool accepted = false;
    switch (token[0]) {
    case 'A':
    case 'R':
        accepted = CheckDesignatedHome(argument, minimum, maximum, result.executable);
        result.source = RuntimeSource::DesignatedPath;
        break;
    case 'E':
        accepted = CheckEnvironmentHome(argument, minimum, maximum, result.executable);
        result.source = RuntimeSource::EnvironmentVariable;
        break;
    case 'S':
        accepted = FindOnSearchPath(minimum, maximum, result.executable);
        result.source = RuntimeSource::SearchPath;
        break;
    case 'Y':
        accepted = FindRegistryRuntime(minimum, maximum, result.executable);
        result.source = RuntimeSource::Registry;
        argument = "";
        break;
    default:
        break;
    }
    if (!accepted) return false;
    CopyText(result.detail, argument);
    return true;
}

// Walks the ';'-separated tokens of Key::SearchSequence in order, skipping empty ones.
static bool TrySearchSequence(const VersionBounds& bounds, RuntimeSearchResult& result) {
    char sequence[TextBufferSize];
    ConfigString(Key::SearchSequence, sequence, sizeof sequence);
    for (char* token = sequence; *token;) {
        size_t length = strcspn(token, ";");
        char* next = token[length] ? token + length + 1 : token + length;
        token[length] = '\0';
        if (length > 0 && TrySequenceToken(token, bounds, result)) return true;
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

static bool TryProductVariable(const VersionBounds& bounds, RuntimeSearchResult& result) {
    const char* variable = ProductVariable();
    if (!variable || !CheckEnvironmentHome(variable, bounds.minimum, bounds.maximum, result.executable))
        return false;
    result.source = RuntimeSource::EnvironmentVariable;
    CopyText(result.detail, variable);
    return true;
}

void SearchJavaRuntime(RuntimeSearchResult& result) {
    VersionBounds bounds;
    ReadVersionBounds(bounds);
    bool found = TryRuntimeFile("\\.tanager\\pref_jre.cfg", bounds, result) ||
                 TrySearchSequence(bounds, result) || TryProductVariable(bounds, result) ||
                 TryRuntimeFile("\\.tanager\\inst_jre.cfg", bounds, result);
    if (!found) result.source = RuntimeSource::None;
}

// A runtime named by the caller: first as the executable itself (when it may
// be one), then as a runtime directory.
static void CheckGivenRuntime(const char* path, bool pathMayBeExecutable, RuntimeSearchResult& result) {
    VersionBounds bounds;
    ReadVersionBounds(bounds);
    CopyText(result.executable, path);
    CopyText(result.detail, path);
    // A path that does not fit is refused rather than checked cut.
    bool fits = strlen(path) < TextBufferSize;
    bool accepted = fits && ((pathMayBeExecutable && CheckJavaExecutable(result.executable, true, bounds.minimum,
                                                                         bounds.maximum, nullptr)) ||
                             CheckDesignatedHome(path, bounds.minimum, bounds.maximum, result.executable));
    result.source = accepted ? RuntimeSource::DesignatedPath : RuntimeSource::None;
}

// The message of the source whose runtime could not be used, then 1005.
static void ReportUnusableRuntime(const RuntimeSearchResult& result) {
    if (result.source == RuntimeSource::SearchPath) ShowConfiguredError(Message::SearchPathRuntimeDamaged, nullptr, "");
    else if (result.source == RuntimeSource::EnvironmentVariable)
        ShowConfiguredError(Message::EnvRuntimeInvalid, "%ENV_VAR_NAME%", result.detail);
    else if (result.source == RuntimeSource::DesignatedPath)
        ShowConfiguredError(Message::DefinedPathRuntimeDamaged, "%DEFINED_PATH%", result.detail);
    ShowConfiguredError(Message::VMStartFailed, nullptr, "");
}

bool LoadJavaRuntime(bool showErrors, const char* path, bool pathMayBeExecutable) {
    RuntimeSearchResult result;
    if (path) CheckGivenRuntime(path, pathMayBeExecutable, result);
    else SearchJavaRuntime(result);
    if (result.source == RuntimeSource::None) {
        if (showErrors) ShowConfiguredError(Message::NoRuntime, nullptr, "");
        return false;
    }
    HMODULE module = LoadJvmLibrary(result.executable);
    if (module && BindCreateJavaVM(module)) return true;
    if (showErrors) ReportUnusableRuntime(result);
    return false;
}
