// CandidateAcceptance.cpp — the steps of a candidate's judgement, each
// ending in the verdict that names why it was passed over.
#include "CandidateAcceptance.h"

#include <windows.h>
#include <cstring>

#include "ConfigBlock.h"
#include "ConfigKeys.h"
#include "FileUtils.h"
#include "ImageFile.h"
#include "JavaVersion.h"
#include "JvmLibrary.h"
#include "RuntimeHome.h"
#include "RuntimeProbe.h"
#include "VersionCache.h"

void ReadVersionBounds(VersionBounds& bounds) {
    ConfigString(Key::MinimumVersion, bounds.minimum, sizeof bounds.minimum);
    ConfigString(Key::MaximumVersion, bounds.maximum, sizeof bounds.maximum);
}

// Runtimes named explicitly may be beta versions.
static bool BetaAccepted(CandidateSource source) {
    switch (source) {
    case CandidateSource::GivenPath:
    case CandidateSource::RuntimeFile:
    case CandidateSource::DesignatedDirectory:
    case CandidateSource::LocatedRuntime:
        return true;
    default:
        return ConfigInt(Key::AcceptBeta) != 0;
    }
}

// The version of the home's release file; the home is the one the source
// named, else the one the executable lies in.
static bool ReadHomeRelease(RuntimeCandidate& candidate) {
    if (!candidate.home[0] && !HomeOfExecutable(candidate.executable, candidate.home, sizeof candidate.home))
        return false;
    return ReadReleaseVersion(candidate.home, candidate.version, sizeof candidate.version);
}

// The cached version, else the release file's, else a probe's, which is then
// cached (before the bounds are tested, so rejected versions need no second
// probe either).
static bool LearnVersion(RuntimeCandidate& candidate, const FILETIME& lastWriteTime) {
    if (ReadCachedVersion(candidate.executable, lastWriteTime, candidate.version)) {
        candidate.versionOrigin = VersionOrigin::Cache;
        return true;
    }
    if (ReadHomeRelease(candidate)) {
        candidate.versionOrigin = VersionOrigin::ReleaseFile;
        return true;
    }
    candidate.probe = ProbeJavaVersion(candidate.executable, candidate.version, sizeof candidate.version);
    if (candidate.probe != ProbeOutcome::Answered) return false;
    candidate.versionOrigin = VersionOrigin::Probe;
    WriteCachedVersion(candidate.executable, lastWriteTime, candidate.version);
    return true;
}

static Verdict VerdictOnVersion(const RuntimeCandidate& candidate, const VersionBounds& bounds) {
    switch (JudgeVersion(candidate.version, bounds.minimum, bounds.maximum, BetaAccepted(candidate.source))) {
    case VersionJudgement::Beta: return Verdict::Beta;
    case VersionJudgement::BelowMinimum: return Verdict::BelowMinimum;
    case VersionJudgement::AboveMaximum: return Verdict::AboveMaximum;
    default: return Verdict::Accepted;
    }
}

// "java.exe" becomes "javaw.exe": the last four characters are replaced by
// "w.exe". False when the result does not fit or does not exist.
static bool SwitchToWindowedExecutable(char* executable) {
    size_t length = strlen(executable);
    if (length < 4 || length + 2 > TextBufferSize) return false;
    strcpy(executable + length - 4, "w.exe");
    return FileExists(executable);
}

bool AcceptExecutable(RuntimeCandidate& candidate, const VersionBounds& bounds) {
    char normalised[TextBufferSize];
    if (!NormalisePath(normalised, sizeof normalised, candidate.executable, false))
        return Decide(candidate, Verdict::PathUnusable);
    strcpy(candidate.executable, normalised);
    FILETIME lastWriteTime;
    if (!FindFileTime(candidate.executable, &lastWriteTime)) return Decide(candidate, Verdict::ExecutableMissing);
    // Before anything is run: a runtime for another machine cannot be loaded.
    candidate.machine = ImageFileMachine(candidate.executable);
    if (IsForeignMachine(candidate.machine)) return Decide(candidate, Verdict::ForeignMachine);
    if (!LearnVersion(candidate, lastWriteTime)) return Decide(candidate, Verdict::VersionUnknown);
    Verdict onVersion = VerdictOnVersion(candidate, bounds);
    if (onVersion != Verdict::Accepted) return Decide(candidate, onVersion);
    // The cache stays keyed by the console executable.
    if (ConfigInt(Key::ApplicationType) == ApplicationType::Windowed &&
        !SwitchToWindowedExecutable(candidate.executable))
        return Decide(candidate, Verdict::WindowedMissing);
    if (!LibraryMachineFits(candidate.executable)) return Decide(candidate, Verdict::ForeignMachine);
    return Decide(candidate, Verdict::Accepted);
}

bool AcceptHome(RuntimeCandidate& candidate, const VersionBounds& bounds) {
    if (!JavaExeFromHome(candidate.home, candidate.executable, sizeof candidate.executable))
        return Decide(candidate, Verdict::PathUnusable);
    return AcceptExecutable(candidate, bounds);
}

void KeepGreaterVersion(RuntimeCandidate& best, bool& haveBest, RuntimeCandidate& other, VersionOrder order) {
    if (haveBest && order(other.version, best.version) <= 0) {
        Decide(other, Verdict::Outranked);
        return;
    }
    if (haveBest) Decide(best, Verdict::Outranked);
    best = other;
    haveBest = true;
}
