// DecisionTrace.h — the launcher's decision trace: one line per decision
// (which runtime was taken or passed over and why, which jvm.dll was loaded,
// the VM's options and arguments, how the process ended), each with the
// milliseconds since the process started, in UTF-8.
//
// Switched on by the environment variable KESTREL_LAUNCHER_DEBUG ("1":
// standard error, attached to the parent's console when the launcher has no
// standard error of its own; any other value: a file the lines are appended
// to) or by the project's trace setting (Key::Trace, same values). As the
// setting is only known once the configuration block has been read, lines
// before that are held in memory and written or dropped then.
//
// Off, a decision costs one test of TraceOn: TRACE neither evaluates its
// arguments nor formats anything, and no file is touched.
#pragma once

// True while lines are written or held. Written on the main thread before
// any other thread starts.
extern bool TraceOn;

// One trace line from a printf format (texts in the ANSI code page); use
// TRACE, which tests TraceOn first.
void TraceLine(const char* format, ...) __attribute__((format(ms_printf, 1, 2)));

// A line of `lead`, the UTF-16 `text` (every character of it kept) and
// `tail` (both ANSI code page); use TRACE_WIDE.
void TraceWideLine(const char* lead, const wchar_t* text, const char* tail);

#define TRACE(...)                               \
    do {                                         \
        if (TraceOn) TraceLine(__VA_ARGS__);     \
    } while (0)
#define TRACE_WIDE(lead, text, tail)                   \
    do {                                               \
        if (TraceOn) TraceWideLine(lead, text, tail);  \
    } while (0)

// Milliseconds since the process started, as the lines show them; for the
// durations some lines report (call it only when TraceOn).
unsigned long TraceMilliseconds();

// Called first at start: reads KESTREL_LAUNCHER_DEBUG and opens its target,
// or holds the lines until SettleTrace. The first line names the launcher,
// its architecture and its process.
void StartTrace();

// Called once the configuration is read, with the project's trace target
// (empty when the project sets none; "1" for standard error; otherwise a
// file path, already resolved). The environment variable, when set, wins.
// Held lines are written to the target, or dropped and the trace switched
// off when there is none.
void SettleTrace(const char* projectTarget);
