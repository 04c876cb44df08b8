// SearchTrace.cpp — a candidate's verdict in words: which runtime, from
// which source, with which version from where, and the reason.
#include "SearchTrace.h"

#include "CandidateAcceptance.h"
#include "DecisionTrace.h"
#include "ImageFile.h"
#include "TextFormat.h"

static const char* SourceText(CandidateSource source) {
    switch (source) {
    case CandidateSource::GivenPath: return "a given path";
    case CandidateSource::RuntimeFile: return "the runtime file";
    case CandidateSource::DesignatedDirectory: return "a runtime directory";
    case CandidateSource::EnvironmentVariable: return "the variable";
    case CandidateSource::PathSearch: return "the search path";
    case CandidateSource::InstalledRuntime: return "the registry";
    case CandidateSource::LocatedRuntime: return "a located runtime";
    case CandidateSource::Registration: return "the registrations";
    }
    return "an unknown source";
}

static const char* OriginText(VersionOrigin origin) {
    switch (origin) {
    case VersionOrigin::Cache: return "the cache";
    case VersionOrigin::ReleaseFile: return "the release file";
    case VersionOrigin::Probe: return "a probe";
    default: return "nowhere";
    }
}

static const char* MachineText(ImageMachine machine) {
    switch (machine) {
    case ImageMachine::X86: return "x86";
    case ImageMachine::X64: return "x64";
    case ImageMachine::Arm64: return "arm64";
    default: return "an unknown machine";
    }
}

static const char* ProbeText(ProbeOutcome probe) {
    switch (probe) {
    case ProbeOutcome::NotStarted: return "the probe could not be started";
    case ProbeOutcome::Failed: return "the probe failed (exit code not 0)";
    case ProbeOutcome::TimedOut: return "the probe timed out and was ended";
    case ProbeOutcome::NoVersionLine: return "the probe printed no version line";
    default: return "no version";
    }
}

// Why the candidate was passed over, or "accepted" / "loaded".
static void VerdictText(const RuntimeCandidate& candidate, char* out, size_t capacity) {
    VersionBounds bounds;
    switch (candidate.verdict) {
    case Verdict::Accepted: FormatText(out, capacity, "accepted"); return;
    case Verdict::Loaded: FormatText(out, capacity, "loaded"); return;
    case Verdict::NothingNamed: FormatText(out, capacity, "rejected: nothing named there"); return;
    case Verdict::PathUnusable:
        FormatText(out, capacity, "rejected: path too long or not usable");
        return;
    case Verdict::ExecutableMissing: FormatText(out, capacity, "rejected: file missing"); return;
    case Verdict::JarsPacked:
        FormatText(out, capacity, "rejected: packed jars the unpack tool could not expand");
        return;
    case Verdict::ForeignMachine:
        if (IsForeignMachine(candidate.machine))
            FormatText(out, capacity, "rejected: other architecture: java.exe is built for %s, the launcher for %s",
                       MachineText(candidate.machine), MachineText(LauncherMachine));
        else
            FormatText(out, capacity, "rejected: other architecture: each jvm.dll there is not built for %s",
                       MachineText(LauncherMachine));
        return;
    case Verdict::VersionUnknown:
        FormatText(out, capacity, "rejected: version unknown: %s", ProbeText(candidate.probe));
        return;
    case Verdict::Beta: FormatText(out, capacity, "rejected: beta, and this source may not give one"); return;
    case Verdict::BelowMinimum:
        ReadVersionBounds(bounds);
        FormatText(out, capacity, "rejected: below the minimum %s", bounds.minimum);
        return;
    case Verdict::AboveMaximum:
        ReadVersionBounds(bounds);
        FormatText(out, capacity, "rejected: above the maximum %s", bounds.maximum);
        return;
    case Verdict::WindowedMissing: FormatText(out, capacity, "rejected: no javaw.exe beside java.exe"); return;
    case Verdict::Outranked:
        FormatText(out, capacity, "rejected: outranked by a greater version of the same source");
        return;
    case Verdict::LibraryNotLoaded: FormatText(out, capacity, "not loaded: no jvm.dll could be loaded"); return;
    case Verdict::EntryMissing: FormatText(out, capacity, "not loaded: the jvm.dll has no JNI_CreateJavaVM"); return;
    default: FormatText(out, capacity, "undecided"); return;
    }
}

void TraceCandidate(const RuntimeCandidate& candidate) {
    if (!TraceOn) return;
    const char* path = candidate.executable[0] ? candidate.executable : candidate.home;
    char version[TextBufferSize + 64] = "";
    if (candidate.versionOrigin != VersionOrigin::Unknown)
        FormatText(version, sizeof version, ", version %s from %s", candidate.version,
                   OriginText(candidate.versionOrigin));
    char verdict[TextBufferSize];
    VerdictText(candidate, verdict, sizeof verdict);
    TraceLine("candidate: %s (%s %s)%s: %s", path[0] ? path : "-", SourceText(candidate.source), candidate.detail,
              version, verdict);
}

void TraceCandidates() { ObserveCandidates(TraceCandidate); }
