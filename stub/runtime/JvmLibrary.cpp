// JvmLibrary.cpp — walking the VM variant directories of a runtime's bin
// directory and binding JNI_CreateJavaVM.
#include "JvmLibrary.h"

#include <cstring>

#include "ConfigBlock.h"
#include "DecisionTrace.h"
#include "PathText.h"
#include "SystemError.h"
#include "ConfigKeys.h"

CreateJavaVMFunction CreateJavaVMEntry = nullptr;

static const char* const FixedVariants[] = {"hotspot", "client", "server", "classic"};

// The outcome of one library path, with the system's reason for a failure.
static void TraceLibraryAttempt(const char* library, HMODULE module, DWORD error) {
    char reason[512];
    if (module) TRACE("library: loaded %s", library);
    else TRACE("library: %s not loaded: %s", library, SystemErrorText(error, reason, sizeof reason));
}

// Loads `directory` + `variant` + "\jvm.dll"; null when that fails or the
// path does not fit.
static HMODULE TryVariant(const char* directory, const char* variant) {
    char library[TextBufferSize] = "";
    if (!AppendBounded(library, sizeof library, directory) || !AppendBounded(library, sizeof library, variant) ||
        !AppendBounded(library, sizeof library, "\\jvm.dll")) {
        TRACE("library: the path of variant %s in %s is too long", variant, directory);
        return nullptr;
    }
    HMODULE module = LoadLibraryA(library);
    if (TraceOn) TraceLibraryAttempt(library, module, GetLastError());
    return module;
}

// The configured variant first, then the fixed list; the first library that
// loads ends the walk.
static HMODULE TryVmVariants(const char* directory) {
    char preferred[TextBufferSize];
    ConfigString(Key::PreferredVM, preferred, sizeof preferred);
    HMODULE module = preferred[0] ? TryVariant(directory, preferred) : nullptr;
    for (const char* variant : FixedVariants) {
        if (module) break;
        module = TryVariant(directory, variant);
    }
    return module;
}

// The executable's path without its file name: nine characters cut for
// "javaw.exe", otherwise eight (the length of "java.exe").
static void ExecutableDirectoryOf(const char* executable, char* directory) {
    size_t length = strlen(executable);
    size_t nameLength = 8;
    if (length >= 9 && strcmp(executable + length - 9, "javaw.exe") == 0) nameLength = 9;
    size_t kept = length > nameLength ? length - nameLength : 0;
    memcpy(directory, executable, kept);
    directory[kept] = '\0';
}

HMODULE LoadJvmLibrary(const char* executable) {
    char directory[TextBufferSize];
    ExecutableDirectoryOf(executable, directory);
    HMODULE module = TryVmVariants(directory);
    // A development kit's bin directory: its embedded runtime, the text
    // passed to the loader as formed, mixed separators included.
    if (!module && AppendBounded(directory, sizeof directory, "../jre/bin/")) module = TryVmVariants(directory);
    return module;
}

bool BindCreateJavaVM(HMODULE module) {
    FARPROC entry = GetProcAddress(module, "JNI_CreateJavaVM");
    TRACE("library: %s", entry ? "JNI_CreateJavaVM found" : "no JNI_CreateJavaVM in the loaded library: not a Java VM");
    if (!entry) return false;
    CreateJavaVMEntry = reinterpret_cast<CreateJavaVMFunction>(reinterpret_cast<void*>(entry));
    return true;
}
