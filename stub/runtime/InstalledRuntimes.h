// InstalledRuntimes.h — the registry source of the runtime search (token
// "Y"): runtimes installed under "SOFTWARE\JavaSoft\" weighed against the
// runtimes a user located by hand.
#pragma once

#include "CandidateAcceptance.h"

// The installed runtime (by "CurrentVersion", else the greatest matching
// version key), and the best located runtime; the installed one wins only
// with a greater version. The winner goes to `result`; an accepted loser is
// Outranked.
bool FindRegistryRuntime(RuntimeCandidate& result, const VersionBounds& bounds);
