// JvmLibrary.cpp — walking the VM variant directories of a runtime's bin
// directory, for loading and for a look at the libraries' machine first, and
// binding JNI_CreateJavaVM.
#include "JvmLibrary.h"

#include <cstring>

#include "ConfigBlock.h"
#include "ConfigKeys.h"
#include "DecisionTrace.h"
#include "FileUtils.h"
#include "ImageFile.h"
#include "PathText.h"
#include "SystemError.h"

CreateJavaVMFunction CreateJavaVMEntry = nullptr;

static const char* const FixedVariants[] = {"hotspot", "client", "server", "classic"};

// What the walk does with each library path; true ends the walk.
using LibraryVisit = bool (*)(const char* library, void* context);

// Visits `directory` + `variant` + "\jvm.dll"; false when the path does not fit.
static bool VisitVariant(const char* directory, const char* variant, LibraryVisit visit, void* context) {
    char library[TextBufferSize] = "";
    if (!AppendBounded(library, sizeof library, directory) || !AppendBounded(library, sizeof library, variant) ||
        !AppendBounded(library, sizeof library, "\\jvm.dll")) {
        TRACE("library: the path of variant %s in %s is too long", variant, directory);
        return false;
    }
    return visit(library, context);
}

// The configured variant first, then the fixed list, until a visit ends the walk.
static bool VisitVariants(const char* directory, LibraryVisit visit, void* context) {
    char preferred[TextBufferSize];
    ConfigString(Key::PreferredVM, preferred, sizeof preferred);
    if (preferred[0] && VisitVariant(directory, preferred, visit, context)) return true;
    for (const char* variant : FixedVariants)
        if (VisitVariant(directory, variant, visit, context)) return true;
    return false;
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

// Every library path of the executable's runtime in the loader's order: the
// variants of its bin directory, then those of a development kit's embedded
// runtime, "<bin>../jre/bin/" (passed on as formed, mixed separators
// included).
static bool WalkLibraries(const char* executable, LibraryVisit visit, void* context) {
    char directory[TextBufferSize];
    ExecutableDirectoryOf(executable, directory);
    return VisitVariants(directory, visit, context) ||
           (AppendBounded(directory, sizeof directory, "../jre/bin/") && VisitVariants(directory, visit, context));
}

// The outcome of one library path, with the system's reason for a failure.
static void TraceLibraryAttempt(const char* library, HMODULE module, DWORD error) {
    char reason[512];
    if (module) TRACE("library: loaded %s", library);
    else TRACE("library: %s not loaded: %s", library, SystemErrorText(error, reason, sizeof reason));
}

static bool LoadLibraryVisit(const char* library, void* module) {
    HMODULE loaded = LoadLibraryA(library);
    if (TraceOn) TraceLibraryAttempt(library, loaded, GetLastError());
    *static_cast<HMODULE*>(module) = loaded;
    return loaded != nullptr;
}

HMODULE LoadJvmLibrary(const char* executable) {
    HMODULE module = nullptr;
    WalkLibraries(executable, LoadLibraryVisit, &module);
    return module;
}

// Counts an existing library built for another machine in `foreign`; ends
// the walk at the first existing one the loader may take.
static bool MachineVisit(const char* library, void* foreign) {
    if (!FileExists(library)) return false;
    if (!IsForeignMachine(ImageFileMachine(library))) return true;
    TRACE("library: %s is built for another machine", library);
    *static_cast<bool*>(foreign) = true;
    return false;
}

bool LibraryMachineFits(const char* executable) {
    bool foreign = false;
    return WalkLibraries(executable, MachineVisit, &foreign) || !foreign;
}

bool BindCreateJavaVM(HMODULE module) {
    FARPROC entry = GetProcAddress(module, "JNI_CreateJavaVM");
    TRACE("library: %s", entry ? "JNI_CreateJavaVM found" : "no JNI_CreateJavaVM in the loaded library: not a Java VM");
    if (!entry) return false;
    CreateJavaVMEntry = reinterpret_cast<CreateJavaVMFunction>(reinterpret_cast<void*>(entry));
    return true;
}
