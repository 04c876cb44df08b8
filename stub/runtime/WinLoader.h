// WinLoader.h — finding a Java runtime: a runtime named by the caller, or
// the automatic search over the runtime files, the configured sources (key
// 128), the product variable and the registry; then loading its VM library.
#pragma once

#include "ConfigBlock.h"

// The kind of source that supplied a runtime; it selects the message shown
// when the runtime's library cannot be used.
enum class RuntimeSource { None, SearchPath, DesignatedPath, EnvironmentVariable, Registry };

// Finds or checks a runtime, loads its library and binds its VM creation
// entry. `path` null: the automatic search. Otherwise `path` is a runtime
// directory, or, with `pathMayBeExecutable`, first tried as the Java
// executable itself. With `showErrors` failures are reported (not fatal).
bool LoadJavaRuntime(bool showErrors, const char* path, bool pathMayBeExecutable);

// The result of a search: the accepted executable (as the check left it),
// its source, and the text that names the source in messages.
struct RuntimeSearchResult {
    RuntimeSource source;
    char executable[TextBufferSize];
    char detail[TextBufferSize];
};

// The automatic search; result.source is None when nothing was accepted.
void SearchJavaRuntime(RuntimeSearchResult& result);

// home + "\jre\bin\java.exe" when that exists (a development kit),
// otherwise home + "\bin\java.exe". False when the path does not fit.
bool JavaExeFromHome(const char* home, char* executable, size_t capacity);

// The source checks; each writes the executable (TextBufferSize bytes).
bool CheckDesignatedHome(const char* directory, const char* minimum, const char* maximum, char* executable);
bool CheckEnvironmentHome(const char* variableName, const char* minimum, const char* maximum,
                          char* executable);
bool FindOnSearchPath(const char* minimum, const char* maximum, char* executable);

// The first line of the runtime file `relativeName` (such as
// "\.tanager\pref_jre.cfg") below the application directory, line end
// removed; false when there is no file, no line, or a line that does not
// fit `line` (TextBufferSize bytes).
bool ReadRuntimeFile(const char* relativeName, char* line);
