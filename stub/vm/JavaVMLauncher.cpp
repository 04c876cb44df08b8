// JavaVMLauncher.cpp — the in-process VM start: configured texts expanded
// and split, the class path option, the VM's option list in its fixed order,
// VM creation and the call of the Java-side entry class.
#include "JavaVMLauncher.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "ArgumentSplitting.h"
#include "ClassPathSpec.h"
#include "CodePages.h"
#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "DecisionTrace.h"
#include "FileUtils.h"
#include "JvmLibrary.h"
#include "PathText.h"
#include "PayloadExtraction.h"
#include "VMOptionsFile.h"
#include "VMStartTrace.h"
#include "VariableExpansion.h"
#include "WideText.h"
#include "ConfigKeys.h"

// The created VM and the interface pointer of the thread that created it,
// which runs every JNI call of the launcher.
static JavaVM* VmHandle = nullptr;
static JNIEnv* VmEnv = nullptr;

void ExpandVariables(char* text, size_t capacity) {
    char* environment = GetEnvironmentStringsA();
    ExpandReferences(text, capacity, {ExecutableDirectory(), PayloadDirectory, environment ? environment : ""});
    if (environment) FreeEnvironmentStringsA(environment);
}

bool AppendArgumentWords(const char* text, StringList& words) {
    SplitStatus status = SplitArguments(text, words);
    if (status == SplitStatus::UnterminatedQuote) FatalConfiguredError(Message::BadParameters, nullptr, nullptr);
    return status == SplitStatus::Done;
}

// A file below the application directory (Key::ApplicationDirectory, relative to the
// executable's directory): its full, lower-case path followed by `relative`.
static bool ApplicationDirectoryFile(char* out, size_t capacity, const char* relative) {
    char directory[TextBufferSize];
    ConfigString(Key::ApplicationDirectory, directory, sizeof directory);
    return NormalisePath(out, capacity, directory, false) && AppendBounded(out, capacity, relative);
}

static void AppendClassPathEntry(TextBuilder& option, const char* path) {
    option.Append(path);
    option.Append(";");
}

// Every entry of `directory` matching "*.<extension>", in the order the
// system lists them. False only when nothing exists at `directory`.
static bool AppendArchivesInDirectory(TextBuilder& option, const char* directory, const char* extension) {
    if (!FileExists(directory)) return false;
    char pattern[TextBufferSize] = "";
    if (!AppendBounded(pattern, sizeof pattern, directory) || !AppendBounded(pattern, sizeof pattern, "\\*.") ||
        !AppendBounded(pattern, sizeof pattern, extension))
        return true;
    CollapseBackslashes(pattern);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    do {
        char joined[TextBufferSize] = "", resolved[TextBufferSize];
        if (AppendBounded(joined, sizeof joined, directory) && AppendBounded(joined, sizeof joined, "\\") &&
            AppendBounded(joined, sizeof joined, found.cFileName) &&
            ResolveAgainstExeDir(resolved, sizeof resolved, joined))
            AppendClassPathEntry(option, resolved);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return true;
}

static void AppendInstallerRuntimeJar(TextBuilder& option) {
    if (ProductFlavour != 'i') return;
    char path[TextBufferSize];
    if (ApplicationDirectoryFile(path, sizeof path, "\\.tanager\\tngruntime.jar")) AppendClassPathEntry(option, path);
}

// Adds the value of the environment variable `name`; true when it has a
// non-empty value. The value is read whole, whatever its length.
static bool AppendEnvironmentEntry(TextBuilder& option, const char* name, bool mandatory) {
    DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND && mandatory)
            FatalConfiguredError(Message::EnvVarUndefined, "%ENV_VAR_NAME%", name);
        return false;
    }
    // Out of memory here counts as an empty variable.
    char* value = static_cast<char*>(malloc(needed));
    DWORD length = value ? GetEnvironmentVariableA(name, value, needed) : 0;
    bool found = length > 0 && length < needed;
    if (found) {
        ClassPathValue entry = EnvironmentClassPathValue(value);
        option.Append(entry.text, entry.length);
        if (entry.needsSeparator) option.Append(";");
    }
    free(value);
    return found;
}

// Adds one configured entry whose name is expanded; true when it counts as
// found. An unknown kind adds nothing and is never found.
static bool AppendSpecifiedEntry(TextBuilder& option, const ClassPathEntry& entry, const char* name) {
    char resolved[TextBufferSize];
    switch (entry.kind) {
        case 'D':
        case 'A':
            if (!ResolveAgainstExeDir(resolved, sizeof resolved, name)) return false;
            AppendClassPathEntry(option, resolved);
            return FileExists(resolved);
        case 'S': {
            if (!ResolveAgainstExeDir(resolved, sizeof resolved, name)) return false;
            bool jars = AppendArchivesInDirectory(option, resolved, "jar");
            bool zips = AppendArchivesInDirectory(option, resolved, "zip");
            return jars || zips;
        }
        case 'E':
            return AppendEnvironmentEntry(option, name, entry.mandatory);
        default:
            return false;
    }
}

static void AppendClassPathEntries(TextBuilder& option) {
    AppendArchivesInDirectory(option, PayloadDirectory, "jar");
    AppendArchivesInDirectory(option, PayloadDirectory, "zip");
    AppendInstallerRuntimeJar(option);

    char specification[TextBufferSize];
    ConfigString(Key::ClassPath, specification, sizeof specification);
    const char* cursor = specification;
    ClassPathEntry entry;
    while (NextClassPathEntry(&cursor, entry)) {
        char name[TextBufferSize];
        memcpy(name, entry.name, entry.nameLength);
        name[entry.nameLength] = '\0';
        ExpandVariables(name, sizeof name);
        if (!AppendSpecifiedEntry(option, entry, name) && entry.mandatory)
            FatalConfiguredError(Message::ClassPathEntryMissing, "%FILE_NAME%", name);
    }
}

bool BuildClassPathOption(TextBuilder& option) {
    option.Append("-Djava.class.path=\";");
    AppendClassPathEntries(option);
    option.Append("\"");
    return !option.Failed();
}

// The executable's full path in its long form with ".vmoptions" appended,
// opened in text mode; null when there is none. When the long form cannot
// be had, the module file name is used as the system gives it.
static FILE* OpenVMOptionsFile() {
    char modulePath[TextBufferSize], path[TextBufferSize];
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) return nullptr;
    DWORD longLength = LongPathName(modulePath, path, sizeof path);
    if (longLength == 0 || longLength >= sizeof path) strcpy(path, modulePath);
    if (!AppendBounded(path, sizeof path, ".vmoptions")) return nullptr;
    return fopen(path, "rt");
}

static bool AppendVMOptionsFile(StringList& options) {
    FILE* file = OpenVMOptionsFile();
    if (!file) return true;
    bool read = ReadVMOptionLines(file, options);
    fclose(file);
    return read;
}

static bool AppendConfiguredVMOptions(StringList& options) {
    char configured[TextBufferSize];
    ConfigAnsiString(Key::VMOptions, configured, sizeof configured);
    ExpandVariables(configured, sizeof configured);
    return AppendArgumentWords(configured, options);
}

static bool AppendAll(StringList& list, const StringList& entries) {
    for (size_t i = 0; i < entries.Count(); ++i)
        if (!list.Append(entries.At(i))) return false;
    return true;
}

// The init arguments over `options`; the array is never freed, like the
// option texts it points to.
static bool MakeInitArgs(const StringList& options, JavaVMInitArgs& initArgs) {
    JavaVMOption* array = static_cast<JavaVMOption*>(calloc(options.Count() + 1, sizeof(JavaVMOption)));
    if (!array) return false;
    for (size_t i = 0; i < options.Count(); ++i) array[i].optionString = const_cast<char*>(options.At(i));
    initArgs.version = JNI_VERSION_1_2;
    initArgs.nOptions = jint(options.Count());
    initArgs.options = array;
    initArgs.ignoreUnrecognized = JNI_TRUE;
    return true;
}

bool BuildVMOptions(const StringList& properties, const StringList& commandLineVMOptions, VMOptions& result) {
    StringList& options = result.options;
    if (!AppendAll(options, properties) || !AppendVMOptionsFile(options)) return false;
    TextBuilder classPath;
    if (!BuildClassPathOption(classPath) || !options.Append(classPath.Text())) return false;
    return AppendConfiguredVMOptions(options) && AppendAll(options, commandLineVMOptions) &&
           MakeInitArgs(options, result.initArgs);
}

// "-D<name>=<value>"; false when out of memory.
static bool AppendProperty(StringList& properties, const char* name, const char* value) {
    TextBuilder option;
    option.Append("-D");
    option.Append(name);
    option.Append("=");
    option.Append(value);
    return !option.Failed() && properties.Append(option.Text());
}

// The launcher's system properties for the Java side, in their fixed order.
static bool BuildLauncherProperties(const VMStartRequest& request, StringList& properties) {
    char modulePath[TextBufferSize], communicationFile[TextBufferSize];
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) modulePath[0] = '\0';
    MakeProcessFileName(communicationFile, sizeof communicationFile, GetCurrentProcessId());
    return (!request.semaphoreName ||
            AppendProperty(properties, "kestrel.semaphoreName", request.semaphoreName)) &&
           (!request.manualMode || AppendProperty(properties, "kestrel.manualJre", "true")) &&
           (ProductFlavour != 'i' || AppendProperty(properties, "kestrel.isTanager", "true")) &&
           AppendProperty(properties, "kestrel.moduleName", modulePath) &&
           AppendProperty(properties, "kestrel.processCommFile", communicationFile) &&
           AppendProperty(properties, "kestrel.tempDir", PayloadDirectory);
}

// The log file of `fileKey` as a full path in its configured case when the
// flag of `flagKey` is on, else the empty string.
static bool AppendLogFileArgument(StringList& arguments, int flagKey, int fileKey) {
    char path[TextBufferSize] = "";
    if (ConfigInt(flagKey) != 0) {
        char name[TextBufferSize];
        ConfigAnsiString(fileKey, name, sizeof name);
        NormalisePath(path, sizeof path, name, true);
    }
    return arguments.Append(path);
}

// The five arguments in front of the application's: windowed flag, main
// class, error log, output log, verbose flag.
static bool BuildLauncherArguments(StringList& arguments) {
    char mainClass[TextBufferSize];
    ConfigAnsiString(Key::MainClass, mainClass, sizeof mainClass);
    return arguments.Append(ConfigInt(Key::ApplicationType) == ApplicationType::Windowed ? "true" : "false") && arguments.Append(mainClass) &&
           AppendLogFileArgument(arguments, Key::ErrorLogSwitch, Key::ErrorLog) &&
           AppendLogFileArgument(arguments, Key::OutputLogSwitch, Key::OutputLog) &&
           arguments.Append(ConfigInt(Key::RuntimeVerbose) != 0 ? "true" : "false");
}

// The fixed arguments and the configured default arguments (expanded and
// split), in the ANSI code page.
static bool BuildConfiguredArguments(StringList& arguments) {
    if (!BuildLauncherArguments(arguments)) return false;
    char defaults[TextBufferSize];
    ConfigAnsiString(Key::DefaultArguments, defaults, sizeof defaults);
    ExpandVariables(defaults, sizeof defaults);
    return AppendArgumentWords(defaults, arguments);
}

// The arguments of the entry class's main in UTF-16: the configured ones
// decoded from the ANSI code page, then the command line's as given.
static bool BuildMainArguments(const WideStringList& commandLineArguments, WideStringList& arguments) {
    StringList configured;
    if (!BuildConfiguredArguments(configured)) return false;
    for (size_t i = 0; i < configured.Count(); ++i)
        if (!AppendWideText(arguments, configured.At(i))) return false;
    for (size_t i = 0; i < commandLineArguments.Count(); ++i)
        if (!arguments.Append(commandLineArguments.At(i))) return false;
    return true;
}

// The arguments as a java.lang.String array, every UTF-16 unit as it is;
// null when the VM could not create it (out of memory), which the caller
// reports like any start of the application that failed.
static jobjectArray NewArgumentArray(const WideStringList& arguments) {
    jclass stringClass = VmEnv->FindClass("java/lang/String");
    if (!stringClass) return nullptr;
    jobjectArray array = VmEnv->NewObjectArray(jsize(arguments.Count()), stringClass, nullptr);
    if (!array) return nullptr;
    for (size_t i = 0; i < arguments.Count(); ++i) {
        const wchar_t* text = arguments.At(i);
        jstring argument = VmEnv->NewString(reinterpret_cast<const jchar*>(text), jsize(wcslen(text)));
        if (!argument) return nullptr;
        VmEnv->SetObjectArrayElement(array, jsize(i), argument);
    }
    return array;
}

// Prints and clears a pending Java exception; true when there was one.
static bool DescribePendingException() {
    if (!VmEnv->ExceptionOccurred()) return false;
    VmEnv->ExceptionDescribe();
    return true;
}

// An installer's first-run step, when the marker file exists below the
// application directory; false when main is not to be called.
static bool RunFirstRunStep() {
    char marker[TextBufferSize];
    if (!ApplicationDirectoryFile(marker, sizeof marker, "\\.tanager\\firstrun") || !FileExists(marker)) return true;
    jclass firstRun = VmEnv->FindClass("com/tanager/runtime/FirstRun");
    TRACE("entry: first-run marker %s: class com/tanager/runtime/FirstRun %s", marker, firstRun ? "found" : "not found");
    if (!firstRun) FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", "14");
    jmethodID method = VmEnv->GetStaticMethodID(firstRun, "firstRun", "()Z");
    TRACE("entry: method firstRun()Z %s", method ? "found" : "not found");
    if (!method) FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", "15");
    // The variadic entry itself: jni.h's C++ helper would go through the
    // va_list variant of the function table.
    jboolean start = VmEnv->functions->CallStaticBooleanMethod(VmEnv, firstRun, method);
    bool failed = DescribePendingException();
    TRACE("entry: firstRun %s", failed ? "ended with an exception: main is not called"
                                       : start ? "returned true: main is called" : "returned false: main is not called");
    return !failed && start != JNI_FALSE;
}

// A class of the launcher's Java side; its absence ends the process.
static jclass FindEntryClass(const char* name) {
    jclass found = VmEnv->FindClass(name);
    TRACE("entry: class %s %s", name, found ? "found" : "not found on the class path");
    if (!found) FatalConfiguredError(Message::MainClassMissing, nullptr, nullptr);
    return found;
}

// What main's pending exception, if any, says about the start. The Java side
// ends with ApplicationFailed once it has reported the application's own
// exception; any other exception stopped it before the application ran.
static VMStartOutcome MainOutcome(jclass applicationFailed) {
    jthrowable thrown = VmEnv->ExceptionOccurred();
    if (!thrown) {
        TRACE("entry: main returned");
        return VMStartOutcome::Ended;
    }
    if (VmEnv->IsInstanceOf(thrown, applicationFailed)) {
        TRACE("entry: main ended with ApplicationFailed: the application's main threw an exception");
        VmEnv->ExceptionClear();
        return VMStartOutcome::ApplicationFailed;
    }
    TRACE("entry: main ended with an exception before the application ran (described on standard error)");
    VmEnv->ExceptionDescribe();
    return VMStartOutcome::ApplicationNotStarted;
}

static VMStartOutcome InvokeMain(const VMStartRequest& request) {
    if (ProductFlavour == 'i' && !RunFirstRunStep()) return VMStartOutcome::Ended;
    jclass launcher = FindEntryClass("com/kestrel/runtime/WinLauncher");
    jclass applicationFailed = FindEntryClass("com/kestrel/runtime/WinLauncher$ApplicationFailed");
    jmethodID main = VmEnv->GetStaticMethodID(launcher, "main", "([Ljava/lang/String;)V");
    TRACE("entry: method main([Ljava/lang/String;)V %s", main ? "found" : "not found");
    if (!main) FatalConfiguredError(Message::MainMethodMissing, nullptr, nullptr);
    WideStringList arguments;
    if (!BuildMainArguments(request.applicationArguments, arguments)) return VMStartOutcome::ApplicationNotStarted;
    if (TraceOn) TraceMainArguments(arguments);
    jobjectArray array = NewArgumentArray(arguments);
    if (!array) {
        DescribePendingException();
        return VMStartOutcome::ApplicationNotStarted;
    }
    if (request.applicationStarting) request.applicationStarting();
    // An application that calls System.exit ends the process there, with its
    // status: the trace's last line is then this one.
    TRACE("entry: calling main; the process ends with the application's own status if it calls System.exit");
    VmEnv->functions->CallStaticVoidMethod(VmEnv, launcher, main, array);
    return MainOutcome(applicationFailed);
}

VMStartOutcome StartJavaVM(const VMStartRequest& request) {
    StringList properties;
    VMOptions options;
    if (!BuildLauncherProperties(request, properties) ||
        !BuildVMOptions(properties, request.commandLineVMOptions, options)) {
        TRACE("vm: out of memory composing the VM's options");
        return VMStartOutcome::VMNotCreated;
    }
    if (TraceOn) TraceVMOptions(options.initArgs);
    if (!CreateJavaVMEntry) {
        TRACE("vm: no runtime library loaded: no VM to create");
        return VMStartOutcome::VMNotCreated;
    }
    jint created =
        CreateJavaVMEntry(reinterpret_cast<void**>(&VmHandle), reinterpret_cast<void**>(&VmEnv), &options.initArgs);
    if (TraceOn) TraceVMCreation(created);
    if (created != JNI_OK) return VMStartOutcome::VMNotCreated;
    VMStartOutcome outcome = InvokeMain(request);
    // As java.exe does, an application that failed is still waited for: its
    // other threads run on until the last non-daemon one ends.
    if (outcome != VMStartOutcome::ApplicationNotStarted) VmHandle->DestroyJavaVM();
    return outcome;
}
