// CandidateAcceptance.h — judging one runtime candidate: its executable in
// normal form, the machine it is built for, its version (from the per-user
// cache, from the home's release file, or by running it hidden with
// "-version"), the configured bounds with the beta rule of its source, for
// windowed applications the javaw.exe beside it, and the machine of its
// libraries. Each judgement ends in one verdict with its reason
// (RuntimeCandidate.h).
#pragma once

#include "RuntimeCandidate.h"

// The configured version bounds (Key::MinimumVersion, Key::MaximumVersion);
// empty means no bound.
struct VersionBounds {
    char minimum[TextBufferSize];
    char maximum[TextBufferSize];
};
void ReadVersionBounds(VersionBounds& bounds);

// Judges the candidate's executable and rewrites it into its normal form
// (absolute, lower case) and, for windowed applications, into the javaw.exe
// beside it; sets its version and where the version came from. True when
// accepted. A runtime named explicitly (a given path, a runtime file, a
// designated directory, a located runtime) may be a beta version; the
// others only when Key::AcceptBeta is set.
bool AcceptExecutable(RuntimeCandidate& candidate, const VersionBounds& bounds);

// The same for the candidate's home: its executable is JavaExeFromHome(home).
bool AcceptHome(RuntimeCandidate& candidate, const VersionBounds& bounds);

// An order of version texts, as strcmp (byte by byte) or
// CompareVersionNumbers (by number).
using VersionOrder = int (*)(const char* a, const char* b);

// Keeps the greater of two accepted candidates in `best` (`haveBest` says
// whether it holds one yet) and reports the other as Outranked. Only a
// strictly greater version replaces `best`, so on a tie `best` stays.
void KeepGreaterVersion(RuntimeCandidate& best, bool& haveBest, RuntimeCandidate& other, VersionOrder order);
