// SearchTrace.h — the decision trace's lines of the runtime search: one line
// per verdict on a candidate (its path, source, version and where the version
// came from, accepted or why it was passed over), heard through the
// candidates' observer (RuntimeCandidate.h).
#pragma once

#include "RuntimeCandidate.h"

// Sets the observer that traces every verdict; call it when TraceOn.
void TraceCandidates();

// The line of one verdict (the observer itself).
void TraceCandidate(const RuntimeCandidate& candidate);
