// RegisteredRuntimes.h — the registry source of today's installers (token
// "V"): the JavaSoft keys written by the installers of release 9 and later,
// and the keys of the common OpenJDK builds (docs/runtime-registrations.md).
// Every registered runtime is judged; the accepted one with the greatest
// version, compared by number (21 above 9), is the result.
#pragma once

#include "CandidateAcceptance.h"

// The accepted registered runtime with the greatest version into `result`;
// the other accepted ones are Outranked. On equal versions the one
// registered first (in the order of docs/runtime-registrations.md) stays.
bool FindRegisteredRuntime(RuntimeCandidate& result, const VersionBounds& bounds);
