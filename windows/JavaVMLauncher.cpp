// JavaVMLauncher.cpp — the in-process VM start: configured texts expanded
// and split, the class path option, the VM's option list in its fixed order,
// VM creation and the call of the Java-side entry class.
#include "JavaVMLauncher.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ArgumentSplitting.h"
#include "ClassPathSpec.h"
#include "ConfigBlock.h"
#include "ErrorReporting.h"
#include "FileUtils.h"
#include "LauncherMain.h"
#include "PathText.h"
#include "ProcessEnvironment.h"
#include "VMOptionsFile.h"
#include "VariableExpansion.h"
#include "WideText.h"

void ExpandVariables(char* text, size_t capacity) {
    char* environment = GetEnvironmentStringsA();
    ExpandReferences(text, capacity, {ExecutableDirectory(), PayloadDirectory, environment ? environment : ""});
    if (environment) FreeEnvironmentStringsA(environment);
}

const char* AppendArgumentWords(const char* text, const char* prefix, StringList& words) {
    SplitResult result = SplitArguments(text, prefix, words);
    if (result.status == SplitStatus::UnterminatedQuote) FatalConfiguredError(1007, nullptr, nullptr);
    return result.status == SplitStatus::Done ? result.stop : nullptr;
}

// A file below the application directory (key 10003, relative to the
// executable's directory): its full, lower-case path followed by `relative`.
static bool ApplicationDirectoryFile(char* out, size_t capacity, const char* relative) {
    char directory[TextBufferSize];
    ConfigString(10003, directory, sizeof directory);
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
            FatalConfiguredError(1008, "%ENV_VAR_NAME%", name);
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
    ConfigString(121, specification, sizeof specification);
    const char* cursor = specification;
    ClassPathEntry entry;
    while (NextClassPathEntry(&cursor, entry)) {
        char name[TextBufferSize];
        memcpy(name, entry.name, entry.nameLength);
        name[entry.nameLength] = '\0';
        ExpandVariables(name, sizeof name);
        if (!AppendSpecifiedEntry(option, entry, name) && entry.mandatory)
            FatalConfiguredError(1006, "%FILE_NAME%", name);
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
    ConfigString(123, configured, sizeof configured);
    ExpandVariables(configured, sizeof configured);
    return AppendArgumentWords(configured, nullptr, options) != nullptr;
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

bool BuildVMOptions(const StringList& properties, const char* commandLine, VMOptions& result) {
    StringList& options = result.options;
    for (size_t i = 0; i < properties.Count(); ++i)
        if (!options.Append(properties.At(i))) return false;
    if (!AppendVMOptionsFile(options)) return false;
    TextBuilder classPath;
    if (!BuildClassPathOption(classPath) || !options.Append(classPath.Text())) return false;
    if (!AppendConfiguredVMOptions(options)) return false;
    result.remainingCommandLine = commandLine;
    if (ConfigInt(125) != 0) {
        result.remainingCommandLine = AppendArgumentWords(commandLine, "-J", options);
        if (!result.remainingCommandLine) return false;
    }
    return MakeInitArgs(options, result.initArgs);
}
