// SingleInstance.cpp — the named semaphore that marks the first process of an
// executable, the per-user record of that process's id, and what a second
// process does instead of starting the application.
#include "SingleInstance.h"

#include <cstdio>
#include <cstdlib>

#include "ConfigBlock.h"
#include "DecisionTrace.h"
#include "ErrorReporting.h"
#include "FileUtils.h"
#include "UserRegistry.h"
#include "WindowDiscovery.h"

char* SemaphoreName = nullptr;

#define PIDS_REGISTRY_KEY LAUNCHER_REGISTRY_KEY "pids\\"

// Copies `path` with every '\' replaced by '_': a backslash in an object name
// would separate namespaces. `out` is at least as large as `path`.
static void ReplaceBackslashes(char* out, const char* path) {
    do {
        *out++ = *path == '\\' ? '_' : *path;
    } while (*path++);
}

DWORD ReadInstancePid() {
    DWORD processId = 0;
    return ReadUserDword(PIDS_REGISTRY_KEY, ExecutablePath(), &processId) ? processId : 0;
}

void WriteInstancePid() { WriteUserDword(PIDS_REGISTRY_KEY, ExecutablePath(), GetCurrentProcessId()); }

// Leaves the running process an empty communication file; a file that cannot
// be written is passed over.
static void TouchProcessFile(DWORD processId) {
    char name[TextBufferSize];
    if (!MakeProcessFileName(name, sizeof name, processId)) return;
    FILE* file = fopen(name, "wt");
    if (file) fclose(file);
}

// Forms SemaphoreName; false when the executable's path is unknown (every
// executable would share the one empty identity) or memory ran out.
static bool FormSemaphoreName() {
    const char* path = ExecutablePath();
    if (!path[0]) return false;
    SemaphoreName = static_cast<char*>(malloc(TextBufferSize));
    if (!SemaphoreName) return false;
    ReplaceBackslashes(SemaphoreName, path);
    return true;
}

void SingleInstanceGuard() {
    if (!FormSemaphoreName()) {
        TRACE("instance: not guarded: the launcher's own path is unknown");
        return;
    }
    // Kept open, never waited on: the name exists as long as this process.
    HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, SemaphoreName);
    if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(semaphore);
        DWORD firstProcess = ReadInstancePid();
        TRACE("instance: another one runs (semaphore %s, process %lu): its windows come to the front and this "
              "one ends", SemaphoreName, firstProcess);
        ActivateProcessWindows(firstProcess);
        TouchProcessFile(firstProcess);
        ExitLauncher(0);
    }
    WriteInstancePid();
    TRACE("instance: the first one (semaphore %s)", SemaphoreName);
}
