// ProcessEnvironment.cpp — configuration, product flavour, PATH and working
// directory, settled before anything else runs.
#include "ProcessEnvironment.h"

#include <cstdlib>
#include <cstring>

#include "ConfigBlock.h"
#include "FileUtils.h"
#include "LauncherDialogs.h"
#include "PathText.h"
#include "ConfigKeys.h"


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

// Sets PATH in the system's environment of the process and in the C
// runtime's copy (which copies the assignment).
void SetPathVariable(const char* value) {
    SetEnvironmentVariableA("PATH", value);
    char* assignment = static_cast<char*>(malloc(sizeof "PATH=" + strlen(value)));
    if (!assignment) return;
    strcpy(assignment, "PATH=");
    strcat(assignment, value);
    _putenv(assignment);
    free(assignment);
}

// The value buffers are taken from the heap: at their full size they would
// otherwise take room in the executable's image.
void ExtendPath() {
    char configured[TextBufferSize], entries[TextBufferSize];
    ConfigString(Key::PathEntries, configured, sizeof configured);
    ResolvePathList(entries, sizeof entries, configured);
    char* oldPath = static_cast<char*>(malloc(2 * EnvironmentValueSize));
    if (!oldPath) return;
    char* newPath = oldPath + EnvironmentValueSize;
    DWORD length = GetEnvironmentVariableA("PATH", oldPath, EnvironmentValueSize);
    if (length == 0 || length >= EnvironmentValueSize) oldPath[0] = '\0';
    if (ComposeExtendedPath(newPath, EnvironmentValueSize, entries, oldPath)) SetPathVariable(newPath);
    free(oldPath);
}

// Enters the working directory of Key::WorkingDirectory; one that cannot be entered is ignored.
static void EnterWorkingDirectory() {
    char configured[TextBufferSize], directory[TextBufferSize];
    ConfigString(Key::WorkingDirectory, configured, sizeof configured);
    if (configured[0] && NormalisePath(directory, sizeof directory, configured, false))
        SetCurrentDirectoryA(directory);
}

void PrepareProcessEnvironment(HINSTANCE instance) {
    LoadConfigBlock();
    ModuleInstance = instance;
    ExtendPath();
    EnterWorkingDirectory();
}
