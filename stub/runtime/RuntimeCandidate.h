// RuntimeCandidate.h — one Java runtime as the search carries it: named by a
// source, judged by acceptance, then loaded. What was learnt about it on the
// way (its executable and home, the machine it is built for, its version,
// where the version came from and how a probe ended) and the verdict travel
// together, and every verdict goes out through Decide(), the one place an
// observer (such as the decision trace) hears of each candidate as it is
// decided.
#pragma once

#include "ImageLayout.h"
#include "RuntimeProbe.h"
#include "TextBuffer.h"

// Where a candidate came from. The source decides the beta rule and, when an
// accepted runtime's library cannot be used, which message is shown.
enum class CandidateSource {
    GivenPath,            // a path handed in: a file chosen by hand, an unpacked runtime
    RuntimeFile,          // the preferred- or the installer-runtime file
    DesignatedDirectory,  // a token "A" or "R"
    EnvironmentVariable,  // a token "E", or the product variable
    PathSearch,           // a token "S": java.exe found through the search path
    InstalledRuntime,     // a token "Y": the JavaSoft keys of runtimes before 9
    LocatedRuntime,       // a token "Y": the runtimes a user picked by hand
    Registration,         // a token "V": the registrations of today's installers
};

// Where the version came from.
enum class VersionOrigin { Unknown, Cache, ReleaseFile, Probe };

// What was decided about a candidate; every value after Loaded is a reason
// to pass it over.
enum class Verdict {
    Undecided,
    Accepted,             // fit to load; the search ends with it unless outranked
    Loaded,               // its library is loaded and the VM entry bound
    NothingNamed,         // the source named no runtime (variable unset, no file, no line, no value)
    PathUnusable,         // the path does not fit the launcher's buffers or cannot be made full
    ExecutableMissing,    // no java.exe where the source points
    JarsPacked,           // jars are left packed that the runtime's unpack tool could not expand
    ForeignMachine,       // java.exe, or every jvm.dll there is, built for another machine than the launcher
    VersionUnknown,       // not cached, no release file line, and the probe gave none (see `probe`)
    Beta,                 // a beta version from a source that may not give one
    BelowMinimum,
    AboveMaximum,
    WindowedMissing,      // a windowed application, and no javaw.exe beside java.exe
    Outranked,            // accepted, but another candidate of the same source has a greater version
    LibraryNotLoaded,     // no jvm.dll of the runtime could be loaded
    EntryMissing,         // the loaded jvm.dll has no JNI_CreateJavaVM
};

struct RuntimeCandidate {
    CandidateSource source;
    // The text that names the source in messages: the designated path as
    // given or read, the variable's name, the token's argument; for the
    // registry sources the key the candidate came from.
    char detail[TextBufferSize];
    // The runtime's home directory when the source named one, else empty.
    char home[TextBufferSize];
    // The Java executable; once judged in its normal form (full, lower
    // case), and for windowed applications the javaw.exe beside it.
    char executable[TextBufferSize];
    // The machine java.exe is built for, as its headers say.
    ImageMachine machine;
    char version[TextBufferSize];
    VersionOrigin versionOrigin;
    // How the probe ended, when one ran.
    ProbeOutcome probe;
    Verdict verdict;
};

// Starts `candidate` afresh for `source`, with `detail` (cut if ever longer
// than the buffer) and nothing learnt yet.
void BeginCandidate(RuntimeCandidate& candidate, CandidateSource source, const char* detail);

// Records `verdict` and tells the observer. True for Accepted and Loaded,
// so that a judge can end with `return Decide(candidate, reason);`.
bool Decide(RuntimeCandidate& candidate, Verdict verdict);

// The observer that hears every verdict (null: none). It must not keep the
// candidate: the search reuses it.
using CandidateObserver = void (*)(const RuntimeCandidate& candidate);
void ObserveCandidates(CandidateObserver observer);
