// LocatedRuntimes.h — the registry list of Java executables a user picked by
// hand, shared by all launchers on the machine, and the choice of the best
// of them by version.
#pragma once

#include "CandidateAcceptance.h"

// Adds `executable` (as chosen, case kept) to the list: under
// HKEY_LOCAL_MACHINE when the key can be created there, else per user.
void RememberLocatedRuntime(const char* executable);

// The remembered runtime with the greatest version that is accepted, looked
// for per user and per machine, into `best`; on a tie between the two hives
// the machine's entry wins. Accepted entries that lose are Outranked.
bool FindLocatedRuntime(RuntimeCandidate& best, const VersionBounds& bounds);
