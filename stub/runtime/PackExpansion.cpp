// PackExpansion.cpp — the pack files left, and the unpack tool runs.
#include "PackExpansion.h"

#include <windows.h>
#include <cstdio>

#include "ChildProcesses.h"
#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "FileUtils.h"
#include "TextFormat.h"
#include "ConfigKeys.h"

// In the order they are expanded.
static const char* const PackedJars[] = {
    "lib\\rt.jar",     "lib\\charsets.jar",         "lib\\plugin.jar",
    "lib\\deploy.jar", "lib\\ext\\localedata.jar", "lib\\jsse.jar",
};

// The path of `jar`'s pack file; false when it does not fit.
static bool PackPath(char* out, const char* runtimeDirectory, const char* jar) {
    return FormatText(out, TextBufferSize, "%s\\%s.pack", runtimeDirectory, jar);
}

static bool AnyPackLeft(const char* runtimeDirectory) {
    char pack[TextBufferSize];
    for (const char* jar : PackedJars)
        if (PackPath(pack, runtimeDirectory, jar) && FileExists(pack)) return true;
    return false;
}

bool ExpandPackedJars(const char* runtimeDirectory) {
    if (!AnyPackLeft(runtimeDirectory)) return true;
    fputs("Preparing JRE ...\n", stdout);
    fflush(stdout);
    for (const char* jar : PackedJars)
        if (!ExpandPackedJar(runtimeDirectory, jar)) return false;
    return !AnyPackLeft(runtimeDirectory);
}

[[noreturn]] static void ToolNotStarted() { FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", "20"); }

// The tool's paths are quoted on its command line, so a runtime directory
// with blanks in its path reaches the tool as one argument each.
bool ExpandPackedJar(const char* runtimeDirectory, const char* jar) {
    char tool[TextBufferSize], jarPath[TextBufferSize], packPath[TextBufferSize], commandLine[TextBufferSize];
    if (!FormatText(jarPath, sizeof jarPath, "%s\\%s", runtimeDirectory, jar) ||
        !PackPath(packPath, runtimeDirectory, jar) || !FileExists(packPath))
        return true;
    if (!FormatText(tool, sizeof tool, "%s\\bin\\unpack200.exe", runtimeDirectory) ||
        !FormatText(commandLine, sizeof commandLine, "\"%s\" -r \"%s\" \"%s\"", tool, packPath, jarPath))
        ToolNotStarted();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!StartChildProcess(tool, commandLine, &startup, true, &process)) {
        if (ChildProcessesEnded()) return false;
        ToolNotStarted();
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    // The tool may have been ended part-way: then nothing more is started.
    return !ChildProcessesEnded();
}
