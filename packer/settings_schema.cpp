// The table of named settings with their keys and default texts.
#include "settings_schema.h"

#include "ConfigKeys.h"

#include <algorithm>

namespace kestrel {
namespace {

SettingDefinition define(const char* table, const char* name, SettingKind kind, std::int32_t key) {
    SettingDefinition definition;
    definition.table = table;
    definition.name = name;
    definition.kind = kind;
    definition.key = key;
    return definition;
}

SettingDefinition choice(const char* table, const char* name, std::int32_t key, std::vector<Choice> choices,
                         const char* default_word = "") {
    SettingDefinition definition = define(table, name, SettingKind::Choice, key);
    definition.choices = std::move(choices);
    definition.default_text = default_word;
    return definition;
}

SettingDefinition with_companion(SettingDefinition definition, std::int32_t companion_key, const char* role) {
    definition.companion_key = companion_key;
    definition.companion_role = role;
    return definition;
}

SettingDefinition message(const char* name, std::int32_t key, const char* text) {
    SettingDefinition definition = define("messages", name, SettingKind::Text, key);
    definition.default_text = text;
    return definition;
}

SettingDefinition wide_text(const char* name, std::int32_t key, const char* text) {
    SettingDefinition definition = define("texts", name, SettingKind::Text, key);
    definition.wide = true;
    definition.default_text = text;
    return definition;
}

SettingDefinition wide_format(const char* name, std::int32_t key, const char* text, const char* format,
                              const char* rule) {
    SettingDefinition definition = wide_text(name, key, text);
    definition.format = format;
    definition.format_rule = rule;
    return definition;
}

constexpr const char* kVersionsRule = "two %S conversions: the minimum and the maximum Java version";
constexpr const char* kProgressRule =
    "four floating-point conversions such as %.1f: megabytes received, megabytes in all, percent, "
    "kilobytes per second";

std::vector<SettingDefinition> build_definitions() {
    using K = SettingKind;
    return {
        choice("launcher", "flavour", Key::ProductFlavour, {{"application", "e"}, {"installer", "i"}}, "application"),
        choice("launcher", "type", Key::ApplicationType, {{"windowed", "1"}, {"console", "0"}, {"installer", "5"}}),
        define("launcher", "working_directory", K::Text, Key::WorkingDirectory),
        define("launcher", "application_directory", K::Text, Key::ApplicationDirectory),
        define("launcher", "path_entries", K::List, Key::PathEntries),
        define("launcher", "trace", K::Text, Key::Trace),

        define("java", "main_class", K::Text, Key::MainClass),
        define("java", "class_path", K::ClassPath, Key::ClassPath),
        define("java", "vm_options", K::Arguments, Key::VMOptions),
        define("java", "arguments", K::Arguments, Key::DefaultArguments),
        define("java", "command_line_vm_options", K::Flag, Key::CommandLineVMOptions),
        define("java", "min_version", K::Text, Key::MinimumVersion),
        define("java", "max_version", K::Text, Key::MaximumVersion),
        define("java", "search_sequence", K::SearchSequence, Key::SearchSequence),
        define("java", "accept_beta", K::Flag, Key::AcceptBeta),
        define("java", "preferred_vm", K::Text, Key::PreferredVM),
        define("java", "runtime_verbose", K::Flag, Key::RuntimeVerbose),

        with_companion(define("logs", "error_log", K::LogFile, Key::ErrorLog), Key::ErrorLogSwitch, "switch"),
        with_companion(define("logs", "output_log", K::LogFile, Key::OutputLog), Key::OutputLogSwitch, "switch"),

        define("runtime", "download_url", K::Text, Key::DownloadLocation),
        define("runtime", "archive_size", K::Integer, Key::ArchiveSize),
        define("runtime", "packed_jars", K::Flag, Key::PackedJars),

        with_companion(define("payload", "files", K::PayloadFiles, Key::PayloadNames), Key::PayloadCount, "count"),

        message("caption", Message::Caption, "Error"),
        message("no_runtime", Message::NoRuntime, "No suitable Java runtime was found. Please install Java and try again."),
        message("search_path_runtime_damaged", Message::SearchPathRuntimeDamaged, "The Java runtime found on the search path is damaged."),
        message("env_runtime_invalid", Message::EnvRuntimeInvalid,
                "The environment variable %ENV_VAR_NAME% does not point to a working Java runtime."),
        message("defined_path_runtime_damaged", Message::DefinedPathRuntimeDamaged, "The Java runtime in %DEFINED_PATH% is damaged."),
        message("vm_start_failed", Message::VMStartFailed, "The JVM could not be started."),
        message("class_path_entry_missing", Message::ClassPathEntryMissing, "File or directory %FILE_NAME% not found or empty."),
        message("bad_parameters", Message::BadParameters, "Wrong parameter usage: a quoted word of the configured VM options or arguments is not closed."),
        message("env_var_undefined", Message::EnvVarUndefined, "The environment variable %ENV_VAR_NAME% has to be defined."),
        message("internal_error", Message::InternalError, "An internal error occurred (error code: %ERROR_CODE%)"),
        message("main_class_missing", Message::MainClassMissing,
                "The launcher's Java classes (com.kestrel.runtime.WinLauncher) are not on the class path."),
        message("main_method_missing", Message::MainMethodMissing,
                "The launcher's Java classes (com.kestrel.runtime.WinLauncher) have no main method."),
        message("application_not_started", Message::ApplicationNotStarted,
                "The application could not be started: its main class or main method was not found."),
        message("application_failed", Message::ApplicationFailed,
                "The application ended with an error it did not handle."),

        wide_text("downloading", Text::Downloading, "Downloading a Java runtime..."),
        wide_text("internet_init_failed", Text::InternetInitFailed, "The internet connection could not be initialised."),
        wide_text("download_failed", Text::DownloadFailed, "The Java runtime could not be downloaded."),
        wide_text("chooser_title", Text::ChooserTitle, "Select the Java executable (java.exe)"),
        wide_format("not_found_with_download", Text::NotFoundWithDownload,
                    "No suitable Java runtime was found (minimum version: %S, maximum version: %S). "
                    "Download one now, or locate a runtime that is already installed.",
                    "SS", kVersionsRule),
        wide_format("not_found_locate_only", Text::NotFoundLocateOnly,
                    "No suitable Java runtime was found (minimum version: %S, maximum version: %S). "
                    "Please locate a runtime that is already installed.",
                    "SS", kVersionsRule),
        wide_text("preparing", Text::Preparing, "Preparing the application..."),
        wide_format("download_progress", Text::DownloadProgress, "%.2f MB of %.2f MB (%.1f%%) at %.1f kB/s", "ffff", kProgressRule),
        wide_text("download_starting", Text::DownloadStarting, "Connecting..."),
        wide_text("download_button", Text::DownloadButton, "Download"),
        wide_text("locate_button", Text::LocateButton, "Locate..."),
        wide_text("cancel_button", Text::CancelButton, "Cancel"),
        wide_text("caption", Text::Caption, "Java Launcher"),
        wide_text("no_window", Text::NoWindow, "The application did not open a window within 60 seconds."),
        wide_text("resume_question", Text::ResumeQuestion,
                  "The last start did not finish. Do you want to choose the Java runtime yourself?"),
        wide_text("installation_corrupted", Text::InstallationCorrupted, "The installation file is damaged. Please download it again."),
    };
}

}  // namespace

const std::vector<SettingDefinition>& setting_definitions() {
    static const std::vector<SettingDefinition> definitions = build_definitions();
    return definitions;
}

std::vector<std::string> setting_tables() {
    std::vector<std::string> tables;
    for (const SettingDefinition& definition : setting_definitions()) {
        if (std::find(tables.begin(), tables.end(), definition.table) == tables.end())
            tables.push_back(definition.table);
    }
    return tables;
}

const SettingDefinition* find_setting(std::string_view table, std::string_view name) {
    for (const SettingDefinition& definition : setting_definitions()) {
        if (definition.table == table && definition.name == name) return &definition;
    }
    return nullptr;
}

const SettingDefinition* setting_for_key(std::int32_t key, bool wide) {
    for (const SettingDefinition& definition : setting_definitions()) {
        if (definition.wide == wide && definition.key == key) return &definition;
    }
    return nullptr;
}

std::string describe_key(std::int32_t key, bool wide) {
    if (const SettingDefinition* definition = setting_for_key(key, wide)) return definition->full_name();
    for (const SettingDefinition& definition : setting_definitions()) {
        if (!wide && definition.companion_key == key)
            return definition.full_name() + " (" + definition.companion_role + ")";
    }
    return {};
}

}  // namespace kestrel
