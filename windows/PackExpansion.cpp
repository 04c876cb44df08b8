// PackExpansion.cpp — the marker test and the unpack tool runs.
#include "PackExpansion.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>

#include "ConfigBlock.h"
#include "ErrorReporting.h"
#include "FileUtils.h"

// In the order they are expanded; the last one marks an expanded runtime.
static const char* const PackedJars[] = {
    "lib\\rt.jar",     "lib\\charsets.jar",         "lib\\plugin.jar",
    "lib\\deploy.jar", "lib\\ext\\localedata.jar", "lib\\jsse.jar",
};

// Formats into `out`; false when the text does not fit.
static bool FormatPath(char* out, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int written = vsnprintf(out, capacity, format, args);
    va_end(args);
    return written > 0 && size_t(written) < capacity;
}

void ExpandPackedJars(const char* runtimeDirectory) {
    char packed[TextBufferSize], marker[TextBufferSize];
    if (!FormatPath(packed, sizeof packed, "%s\\lib\\rt.jar.pack", runtimeDirectory) ||
        !FormatPath(marker, sizeof marker, "%s\\lib\\jsse.jar", runtimeDirectory))
        return;
    if (!FileExists(packed) || FileExists(marker)) return;
    printf("Preparing JRE ...\n");
    fflush(stdout);
    for (const char* jar : PackedJars) ExpandPackedJar(runtimeDirectory, jar);
}

// The tool's paths are quoted, so a runtime directory with blanks in its
// path reaches the tool as one argument each.
void ExpandPackedJar(const char* runtimeDirectory, const char* jar) {
    char jarPath[TextBufferSize], packPath[TextBufferSize], commandLine[TextBufferSize];
    if (!FormatPath(jarPath, sizeof jarPath, "%s\\%s", runtimeDirectory, jar) ||
        !FormatPath(packPath, sizeof packPath, "%s.pack", jarPath) || !FileExists(packPath))
        return;
    if (!FormatPath(commandLine, sizeof commandLine, "\"%s\\bin\\unpack200.exe\" -r \"%s\" \"%s\"",
                    runtimeDirectory, packPath, jarPath))
        FatalConfiguredError(1009, "%ERROR_CODE%", "20");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process))
        FatalConfiguredError(1009, "%ERROR_CODE%", "20");
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}
