// DecisionTrace.cpp — the trace's target (standard error or the parent's
// console, or a file appended to), the lines held until the configuration
// says whether there is a target, the timestamps, and the conversion of
// each line to UTF-8 (UTF-16 for a console, so every character shows).
//
// Each line goes out in one write straight to the system, unbuffered: lines
// from several threads never mix, and a process that ends abruptly loses
// none. A file opened for appending gets every write at its end, so two
// launchers may share one trace file.
#include "DecisionTrace.h"

#include <windows.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "NeverDestroyed.h"
#include "SystemError.h"
#include "TextBuilder.h"
#include "TextFormat.h"

bool TraceOn = false;

namespace {
enum class TraceState { Off, Holding, Writing };

struct TraceTarget {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool console = false;
};
}  // namespace

static TraceState State = TraceState::Off;
static TraceTarget Target;
// The UTF-8 lines traced before the configuration was read.
static NeverDestroyed<TextBuilder> HeldStore;
static TextBuilder& HeldLines = HeldStore.Get();

// The timestamps: the offset of the trace's start from the process's
// creation, then the performance counter's ticks since that start.
static LARGE_INTEGER CounterStart, CounterFrequency;
static ULONGLONG StartOffsetMs = 0;

static ULONGLONG FileTimeValue(const FILETIME& time) {
    return ULONGLONG(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

static void StartClock() {
    QueryPerformanceFrequency(&CounterFrequency);
    QueryPerformanceCounter(&CounterStart);
    FILETIME creation, exited, kernel, user, now;
    GetSystemTimeAsFileTime(&now);
    if (GetProcessTimes(GetCurrentProcess(), &creation, &exited, &kernel, &user) &&
        FileTimeValue(now) > FileTimeValue(creation))
        StartOffsetMs = (FileTimeValue(now) - FileTimeValue(creation)) / 10000;
}

unsigned long TraceMilliseconds() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    ULONGLONG ticks = ULONGLONG(now.QuadPart - CounterStart.QuadPart);
    ULONGLONG frequency = CounterFrequency.QuadPart > 0 ? ULONGLONG(CounterFrequency.QuadPart) : 1;
    return (unsigned long)(StartOffsetMs + ticks * 1000 / frequency);
}

// `length` bytes of `text` in code page `codePage` as terminated UTF-16 in
// a block from malloc, its length in `*units`; null on failure.
static wchar_t* ToWide(UINT codePage, const char* text, size_t length, int* units) {
    int count = length ? MultiByteToWideChar(codePage, 0, text, int(length), nullptr, 0) : 0;
    wchar_t* wide = static_cast<wchar_t*>(malloc(size_t(count + 1) * sizeof(wchar_t)));
    if (!wide) return nullptr;
    if (count) MultiByteToWideChar(codePage, 0, text, int(length), wide, count);
    wide[count] = L'\0';
    *units = count;
    return wide;
}

// The terminated UTF-16 `text` as terminated UTF-8 in a block from malloc;
// null on failure.
static char* ToUtf8(const wchar_t* text) {
    int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    char* utf8 = count > 0 ? static_cast<char*>(malloc(size_t(count))) : nullptr;
    if (utf8) WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, count, nullptr, nullptr);
    return utf8;
}

// The terminated `text` of the ANSI code page as UTF-8, as ToUtf8.
static char* AnsiToUtf8(const char* text) {
    int units = 0;
    wchar_t* wide = ToWide(CP_ACP, text, strlen(text), &units);
    char* utf8 = wide ? ToUtf8(wide) : nullptr;
    free(wide);
    return utf8;
}

// Writes UTF-8 text to the target: as it is to a file or pipe, as UTF-16 to
// a console.
static void WriteToTarget(const char* text, size_t length) {
    DWORD written = 0;
    if (!Target.console) {
        WriteFile(Target.handle, text, DWORD(length), &written, nullptr);
        return;
    }
    int units = 0;
    wchar_t* wide = ToWide(CP_UTF8, text, length, &units);
    if (!wide) return;
    WriteConsoleW(Target.handle, wide, DWORD(units), &written, nullptr);
    free(wide);
}

// One line of UTF-8 text with its timestamp, written or held.
static void EmitLine(const char* utf8) {
    char prefix[32];
    FormatText(prefix, sizeof prefix, "[kestrel %6lu ms] ", TraceMilliseconds());
    TextBuilder line;
    line.Append(prefix);
    line.Append(utf8);
    line.Append("\r\n");
    if (line.Failed()) return;
    if (State == TraceState::Holding) HeldLines.Append(line.Text(), line.Length());
    else WriteToTarget(line.Text(), line.Length());
}

void TraceLine(const char* format, ...) {
    if (State == TraceState::Off) return;
    va_list args;
    va_start(args, format);
    char* text = FormatNewTextV(format, args);
    va_end(args);
    char* utf8 = text ? AnsiToUtf8(text) : nullptr;
    free(text);
    if (utf8) EmitLine(utf8);
    free(utf8);
}

void TraceWideLine(const char* lead, const wchar_t* text, const char* tail) {
    if (State == TraceState::Off) return;
    char* utf8Lead = AnsiToUtf8(lead);
    char* utf8Text = ToUtf8(text);
    char* utf8Tail = AnsiToUtf8(tail);
    TextBuilder line;
    line.Append(utf8Lead ? utf8Lead : "");
    line.Append(utf8Text ? utf8Text : "");
    line.Append(utf8Tail ? utf8Tail : "");
    free(utf8Lead);
    free(utf8Text);
    free(utf8Tail);
    if (!line.Failed()) EmitLine(line.Text());
}

// Standard error as the launcher received it; a launcher started from a
// console without redirection has none (it is a GUI program), so it attaches
// to its parent's console, when there is one.
static TraceTarget StandardErrorTarget() {
    TraceTarget target;
    target.handle = GetStdHandle(STD_ERROR_HANDLE);
    if ((!target.handle || target.handle == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
        target.handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (!target.handle) target.handle = INVALID_HANDLE_VALUE;
    DWORD mode;
    target.console = target.handle != INVALID_HANDLE_VALUE && GetConsoleMode(target.handle, &mode);
    return target;
}

// Says once on standard error that the trace file cannot be opened; the
// launch goes on without a trace.
static void ReportUnopenableFile(const wchar_t* path, DWORD error) {
    char* pathText = ToUtf8(path);
    if (!pathText) return;
    char reason[512];
    TextBuilder report;
    report.Append("kestrel: the trace file \"");
    report.Append(pathText);
    report.Append("\" cannot be opened (");
    report.Append(SystemErrorText(error, reason, sizeof reason));
    report.Append("); the launch goes on without a trace\r\n");
    free(pathText);
    Target = StandardErrorTarget();
    if (Target.handle != INVALID_HANDLE_VALUE && !report.Failed()) WriteToTarget(report.Text(), report.Length());
    Target = TraceTarget();
}

// "1": standard error; anything else: a file, created when missing, every
// line appended. False when the target cannot be written to.
static bool OpenTarget(const wchar_t* value) {
    if (wcscmp(value, L"1") == 0) {
        Target = StandardErrorTarget();
        return Target.handle != INVALID_HANDLE_VALUE;
    }
    Target.console = false;
    Target.handle = CreateFileW(value, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Target.handle != INVALID_HANDLE_VALUE) return true;
    ReportUnopenableFile(value, GetLastError());
    return false;
}

// Names where the lines go and what chose it (the origin: ASCII).
static void TraceTargetLine(const wchar_t* value, const char* origin) {
    if (wcscmp(value, L"1") == 0) {
        TRACE("trace: to %s (%s)", Target.console ? "the console" : "standard error", origin);
        return;
    }
    char* path = ToUtf8(value);
    TextBuilder line;
    line.Append("trace: appended to ");
    line.Append(path ? path : "?");
    line.Append(" (");
    line.Append(origin);
    line.Append(")");
    free(path);
    if (!line.Failed()) EmitLine(line.Text());
}

// Leaves the trace switched off for the rest of the process.
static void SwitchOff() {
    State = TraceState::Off;
    TraceOn = false;
    HeldLines.Clear();
}

static void TraceStart() {
    char module[MAX_PATH * 4];
    DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module) module[0] = '\0';
#ifdef _WIN64
    const char* architecture = "x64 (64-bit)";
#else
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const char* architecture = wow64 ? "x86 (32-bit) on 64-bit Windows" : "x86 (32-bit)";
#endif
    TRACE("start: kestrel launcher %s, process %lu, %s", architecture, GetCurrentProcessId(), module);
}

// The variable's name, and the value that switches the trace off.
static const wchar_t TraceVariable[] = L"KESTREL_LAUNCHER_DEBUG";
static const wchar_t TraceOffValue[] = L"0";

void StartTrace() {
    StartClock();
    DWORD size = GetEnvironmentVariableW(TraceVariable, nullptr, 0);
    wchar_t* value = size ? static_cast<wchar_t*>(malloc(size * sizeof(wchar_t))) : nullptr;
    DWORD length = value ? GetEnvironmentVariableW(TraceVariable, value, size) : 0;
    if (length == 0 || length >= size) {
        // Not set: the project's setting decides once the block is read.
        State = TraceState::Holding;
        TraceOn = true;
        TraceStart();
    } else if (wcscmp(value, TraceOffValue) != 0 && OpenTarget(value)) {
        State = TraceState::Writing;
        TraceOn = true;
        TraceStart();
        TraceTargetLine(value, "KESTREL_LAUNCHER_DEBUG");
    }
    free(value);
}

void SettleTrace(const char* projectTarget) {
    if (State != TraceState::Holding) return;
    int units = 0;
    wchar_t* target = projectTarget[0] ? ToWide(CP_ACP, projectTarget, strlen(projectTarget), &units) : nullptr;
    if (!target || !OpenTarget(target)) {
        free(target);
        SwitchOff();
        return;
    }
    State = TraceState::Writing;
    WriteToTarget(HeldLines.Text(), HeldLines.Length());
    HeldLines.Clear();
    TraceTargetLine(target, "the launcher's trace setting");
    free(target);
}
