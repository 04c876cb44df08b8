// RuntimeLoader.cpp — the three entries, loading an accepted candidate, and
// the per-source messages when its library cannot be used.
#include "RuntimeLoader.h"

#include <cstring>

#include "ConfigKeys.h"
#include "ConfiguredErrors.h"
#include "JvmLibrary.h"
#include "RuntimeSearch.h"

// The message of the source whose runtime could not be used, then 1005.
static void ReportUnusableRuntime(const RuntimeCandidate& candidate) {
    switch (candidate.source) {
    case CandidateSource::PathSearch:
        ShowConfiguredError(Message::SearchPathRuntimeDamaged, nullptr, "");
        break;
    case CandidateSource::EnvironmentVariable:
        ShowConfiguredError(Message::EnvRuntimeInvalid, "%ENV_VAR_NAME%", candidate.detail);
        break;
    case CandidateSource::GivenPath:
    case CandidateSource::RuntimeFile:
    case CandidateSource::DesignatedDirectory:
        ShowConfiguredError(Message::DefinedPathRuntimeDamaged, "%DEFINED_PATH%", candidate.detail);
        break;
    default:  // the registry sources have no message of their own
        break;
    }
    ShowConfiguredError(Message::VMStartFailed, nullptr, "");
}

// Loads the library of an accepted candidate and binds its VM creation entry.
static bool LoadAccepted(RuntimeCandidate& candidate, FailureMessages messages) {
    HMODULE module = LoadJvmLibrary(candidate.executable);
    if (!module) Decide(candidate, Verdict::LibraryNotLoaded);
    else if (!BindCreateJavaVM(module)) Decide(candidate, Verdict::EntryMissing);
    else return Decide(candidate, Verdict::Loaded);
    if (messages == FailureMessages::Shown) ReportUnusableRuntime(candidate);
    return false;
}

static bool LoadIfAccepted(bool accepted, RuntimeCandidate& candidate, FailureMessages messages) {
    if (accepted) return LoadAccepted(candidate, messages);
    if (messages == FailureMessages::Shown) ShowConfiguredError(Message::NoRuntime, nullptr, "");
    return false;
}

bool LoadSearchedRuntime(FailureMessages messages) {
    RuntimeCandidate candidate;
    return LoadIfAccepted(SearchJavaRuntime(candidate), candidate, messages);
}

// A given path that does not fit the buffers is refused rather than cut.
static bool RefuseUnfitPath(RuntimeCandidate& candidate, const char* path) {
    BeginCandidate(candidate, CandidateSource::GivenPath, path);
    if (strlen(path) < TextBufferSize) return false;
    Decide(candidate, Verdict::PathUnusable);
    return true;
}

bool LoadRuntimeHome(const char* home) {
    RuntimeCandidate candidate;
    VersionBounds bounds;
    ReadVersionBounds(bounds);
    bool accepted = !RefuseUnfitPath(candidate, home) &&
                    AcceptDesignatedHome(candidate, CandidateSource::GivenPath, home, bounds);
    return LoadIfAccepted(accepted, candidate, FailureMessages::Shown);
}

bool LoadChosenRuntime(const char* path) {
    RuntimeCandidate candidate;
    VersionBounds bounds;
    ReadVersionBounds(bounds);
    bool accepted = false;
    if (!RefuseUnfitPath(candidate, path)) {
        strcpy(candidate.executable, path);
        accepted = AcceptExecutable(candidate, bounds) ||
                   AcceptDesignatedHome(candidate, CandidateSource::GivenPath, path, bounds);
    }
    return LoadIfAccepted(accepted, candidate, FailureMessages::Shown);
}
