// RuntimeSearch.h — the automatic runtime search: the preferred-runtime
// file, the configured sources in order (Key::SearchSequence), the product
// variable and the installer-runtime file; the first accepted candidate ends
// it. Each source names candidates; acceptance judges them
// (CandidateAcceptance.h).
#pragma once

#include "CandidateAcceptance.h"

// The automatic search; the accepted candidate goes to `result`. False when
// nothing was accepted.
bool SearchJavaRuntime(RuntimeCandidate& result);

// A runtime directory named explicitly (by `source`): resolved against the
// launcher's directory when relative, its packed jars expanded, then judged.
// `directory` is also the candidate's detail.
bool AcceptDesignatedHome(RuntimeCandidate& candidate, CandidateSource source, const char* directory,
                          const VersionBounds& bounds);
