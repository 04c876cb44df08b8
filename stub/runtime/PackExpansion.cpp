// PackExpansion.cpp — the marker test and the unpack tool runs.
#include "PackExpansion.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>

#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "FileUtils.h"
#include "TextFormat.h"
#include "ConfigKeys.h"

// In the order they are expanded; the last one marks an expanded runtime.
static const char* const PackedJars[] = {
    "lib\\rt.jar",     "lib\\charsets.jar",         "lib\\plugin.jar",
    "lib\\deploy.jar", "lib\\ext\\localedata.jar", "lib\\jsse.jar",
};

void ExpandPackedJars(const char* runtimeDirectory) {
    char packed[TextBufferSize], marker[TextBufferSize];
    if (!FormatText(packed, sizeof packed, "%s\\lib\\rt.jar.pack", runtimeDirectory) ||
        !FormatText(marker, sizeof marker, "%s\\lib\\jsse.jar", runtimeDirectory))
        return;
    if (!FileExists(packed) || FileExists(marker)) return;
    fputs("Preparing JRE ...\n", stdout);
    fflush(stdout);
    for (const char* jar : PackedJars) ExpandPackedJar(runtimeDirectory, jar);
}

// The tool's paths are quoted, so a runtime directory with blanks in its
// path reaches the tool as one argument each.
void ExpandPackedJar(const char* runtimeDirectory, const char* jar) {
    char jarPath[TextBufferSize], packPath[TextBufferSize], commandLine[TextBufferSize];
    if (!FormatText(jarPath, sizeof jarPath, "%s\\%s", runtimeDirectory, jar) ||
        !FormatText(packPath, sizeof packPath, "%s.pack", jarPath) || !FileExists(packPath))
        return;
    if (!FormatText(commandLine, sizeof commandLine, "\"%s\\bin\\unpack200.exe\" -r \"%s\" \"%s\"",
                    runtimeDirectory, packPath, jarPath))
        FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", "20");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process))
        FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", "20");
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}
