// ProcessEnvironment.cpp — configuration, product flavour, PATH and working
// directory, settled before anything else runs.
#include "ProcessEnvironment.h"

#include <cstdlib>
#include <cstring>

#include "ConfigBlock.h"
#include "FileUtils.h"
#include "LauncherMain.h"
#include "PathText.h"

char ProductFlavour = '\0';

// The largest value an environment variable can hold, with its terminator;
// PATH is composed in a buffer of this size so that an old PATH longer than
// the usual 8192-byte buffer is kept whole.
constexpr size_t EnvironmentValueSize = 32767;

bool ComposeExtendedPath(char* out, size_t capacity, const char* entries, const char* oldPath) {
    out[0] = '\0';
    if (!AppendBounded(out, capacity, entries)) return false;
    size_t used = strlen(out);
    if (used > 0 && out[used - 1] != ';') {
        if (!AppendBounded(out, capacity, ";")) {
            out[0] = '\0';
            return false;
        }
        ++used;
    }
    size_t room = capacity - 1 - used, length = strlen(oldPath);
    if (length > room) {
        // Keep the leading old entries that fit, each whole.
        length = room;
        while (length > 0 && oldPath[length] != ';') --length;
    }
    memcpy(out + used, oldPath, length);
    out[used + length] = '\0';
    return true;
}

void SetPathVariable(const char* value) {
    static char assignment[sizeof "PATH=" + EnvironmentValueSize];
    SetEnvironmentVariableA("PATH", value);
    strcpy(assignment, "PATH=");
    strncat(assignment, value, EnvironmentValueSize - 1);
    _putenv(assignment);
}

void ExtendPath() {
    static char oldPath[EnvironmentValueSize], newPath[EnvironmentValueSize];
    char configured[TextBufferSize], entries[TextBufferSize];
    ConfigString(10004, configured, sizeof configured);
    ResolvePathList(entries, sizeof entries, configured);
    DWORD length = GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
    if (length == 0 || length >= sizeof oldPath) oldPath[0] = '\0';
    if (ComposeExtendedPath(newPath, sizeof newPath, entries, oldPath)) SetPathVariable(newPath);
}

// Enters the working directory of key 146; one that cannot be entered is ignored.
static void EnterWorkingDirectory() {
    char configured[TextBufferSize], directory[TextBufferSize];
    ConfigString(146, configured, sizeof configured);
    if (configured[0] && NormalisePath(directory, sizeof directory, configured, false))
        SetCurrentDirectoryA(directory);
}

void PrepareProcessEnvironment(HINSTANCE instance) {
    LoadConfigBlock();
    ModuleInstance = instance;
    char flavour[2];
    ConfigString(2001, flavour, sizeof flavour);
    ProductFlavour = flavour[0];
    ExtendPath();
    EnterWorkingDirectory();
}
