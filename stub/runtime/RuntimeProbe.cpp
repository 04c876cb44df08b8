// RuntimeProbe.cpp — the hidden "-version" child process whose standard
// error goes to a temporary file.
#include "RuntimeProbe.h"

#include <windows.h>
#include <cstdio>
#include <cstring>

#include "ChildProcesses.h"
#include "FileUtils.h"
#include "JavaVersion.h"
#include "TextBuffer.h"
#include "TextFormat.h"

// How long a terminated probe may take to go away before its file is removed.
constexpr DWORD TerminationWait = 5000;
// The probe reads at most this many characters of the first line.
constexpr int VersionLineLength = 99;

// The executable's short (8.3) form followed by " -version": the command
// line the child sees (the program itself is named by its full path). Where
// the system has no short name the long path is used, quoted when it holds
// a blank.
static bool ProbeCommandLine(const char* executable, char* out, size_t capacity) {
    char shortPath[TextBufferSize];
    DWORD length = GetShortPathNameA(executable, shortPath, sizeof shortPath);
    const char* program = (length > 0 && length < sizeof shortPath) ? shortPath : executable;
    const char* quote = strchr(program, ' ') ? "\"" : "";
    return FormatText(out, capacity, "%s%s%s -version", quote, program, quote);
}

// Opens `path` for the child's standard error: an inheritable handle, or
// INVALID_HANDLE_VALUE.
static HANDLE OpenInheritableOutput(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    HANDLE inheritable = INVALID_HANDLE_VALUE;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &inheritable, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        inheritable = INVALID_HANDLE_VALUE;
    CloseHandle(file);
    return inheritable;
}

// Runs `executable` (named by its full path, never searched for) with the
// command hidden, standard error on `output`, and waits at most
// ProbeTimeLimit; Answered here means it ended in time with exit code 0. A
// child still running is terminated (and waited for, so its file can be
// removed).
static ProbeOutcome RunProbeProcess(const char* executable, char* commandLine, HANDLE output) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = nullptr;
    startup.hStdError = output;
    PROCESS_INFORMATION process;
    if (!StartChildProcess(executable, commandLine, &startup, true, &process)) return ProbeOutcome::NotStarted;
    bool ended = WaitForSingleObject(process.hProcess, ProbeTimeLimit) == WAIT_OBJECT_0;
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, TerminationWait);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    if (!ended) return ProbeOutcome::TimedOut;
    return exitCode == 0 ? ProbeOutcome::Answered : ProbeOutcome::Failed;
}

// The version from the first line of the probe's output file.
static bool ReadVersionLine(const char* path, char* version, size_t capacity) {
    FILE* file = fopen(path, "r");
    if (!file) return false;
    char line[VersionLineLength + 1];
    bool read = fgets(line, sizeof line, file) != nullptr;
    fclose(file);
    return read && ParseVersionLine(line, version, capacity);
}

ProbeOutcome ProbeJavaVersion(const char* executable, char* version, size_t capacity) {
    char commandLine[TextBufferSize], outputPath[TextBufferSize];
    version[0] = '\0';
    if (!ProbeCommandLine(executable, commandLine, sizeof commandLine) ||
        !MakeTempFileName(outputPath, sizeof outputPath))
        return ProbeOutcome::NotStarted;
    HANDLE output = OpenInheritableOutput(outputPath);
    ProbeOutcome outcome = ProbeOutcome::NotStarted;
    if (output != INVALID_HANDLE_VALUE) {
        outcome = RunProbeProcess(executable, commandLine, output);
        CloseHandle(output);
        if (outcome == ProbeOutcome::Answered && !ReadVersionLine(outputPath, version, capacity))
            outcome = ProbeOutcome::NoVersionLine;
    }
    DeleteFileA(outputPath);
    return outcome;
}
