// RuntimeCandidate.cpp — starting a candidate, and the one place verdicts
// are recorded and reported.
#include "RuntimeCandidate.h"

#include <cstring>

static CandidateObserver Observer = nullptr;

static void CopyCut(char* out, const char* text) {
    strncpy(out, text, TextBufferSize - 1);
    out[TextBufferSize - 1] = '\0';
}

void BeginCandidate(RuntimeCandidate& candidate, CandidateSource source, const char* detail) {
    candidate.source = source;
    CopyCut(candidate.detail, detail);
    candidate.home[0] = '\0';
    candidate.executable[0] = '\0';
    candidate.machine = ImageMachine::NotAnImage;
    candidate.version[0] = '\0';
    candidate.versionOrigin = VersionOrigin::Unknown;
    candidate.probe = ProbeOutcome::NotRun;
    candidate.verdict = Verdict::Undecided;
}

bool Decide(RuntimeCandidate& candidate, Verdict verdict) {
    candidate.verdict = verdict;
    if (Observer) Observer(candidate);
    return verdict == Verdict::Accepted || verdict == Verdict::Loaded;
}

void ObserveCandidates(CandidateObserver observer) { Observer = observer; }
