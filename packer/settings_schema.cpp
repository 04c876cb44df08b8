// The table of named settings with their keys and default texts.
#include "settings_schema.h"

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
        choice("launcher", "flavour", 2001, {{"application", "e"}, {"installer", "i"}}, "application"),
        choice("launcher", "type", 107, {{"windowed", "1"}, {"console", "0"}, {"installer", "5"}}),
        define("launcher", "working_directory", K::Text, 146),
        define("launcher", "application_directory", K::Text, 10003),
        define("launcher", "path_entries", K::List, 10004),

        define("java", "main_class", K::Text, 122),
        define("java", "class_path", K::ClassPath, 121),
        define("java", "vm_options", K::Text, 123),
        define("java", "arguments", K::Text, 124),
        define("java", "command_line_vm_options", K::Flag, 125),
        define("java", "min_version", K::Text, 126),
        define("java", "max_version", K::Text, 127),
        define("java", "search_sequence", K::SearchSequence, 128),
        define("java", "accept_beta", K::Flag, 130),
        define("java", "preferred_vm", K::Text, 152),
        define("java", "runtime_verbose", K::Flag, 106),

        with_companion(define("logs", "error_log", K::LogFile, 103), 102, "switch"),
        with_companion(define("logs", "output_log", K::LogFile, 105), 104, "switch"),

        define("runtime", "download_url", K::Text, 150),
        define("runtime", "archive_size", K::Integer, 151),
        define("runtime", "packed_jars", K::Flag, 153),

        with_companion(define("payload", "files", K::PayloadFiles, 2003), 2002, "count"),

        message("caption", 1000, "Error"),
        message("no_runtime", 1001, "No suitable Java runtime was found. Please install Java and try again."),
        message("search_path_runtime_damaged", 1002, "The Java runtime found on the search path is damaged."),
        message("env_runtime_invalid", 1003,
                "The environment variable %ENV_VAR_NAME% does not point to a working Java runtime."),
        message("defined_path_runtime_damaged", 1004, "The Java runtime in %DEFINED_PATH% is damaged."),
        message("vm_start_failed", 1005, "The JVM could not be started."),
        message("class_path_entry_missing", 1006, "File or directory %FILE_NAME% not found or empty."),
        message("bad_parameters", 1007, "Wrong parameter usage: a quoted argument is not closed."),
        message("env_var_undefined", 1008, "The environment variable %ENV_VAR_NAME% has to be defined."),
        message("internal_error", 1009, "An internal error occurred (error code: %ERROR_CODE%)"),
        message("main_class_missing", 1010, "The main class of the application could not be found."),
        message("main_method_missing", 1011, "The main method of the application could not be found."),

        wide_text("downloading", 20001, "Downloading a Java runtime..."),
        wide_text("internet_init_failed", 20002, "The internet connection could not be initialised."),
        wide_text("download_failed", 20003, "The Java runtime could not be downloaded."),
        wide_text("chooser_title", 20004, "Select the Java executable (java.exe)"),
        wide_format("not_found_with_download", 20005,
                    "No suitable Java runtime was found (minimum version: %S, maximum version: %S). "
                    "Download one now, or locate a runtime that is already installed.",
                    "SS", kVersionsRule),
        wide_format("not_found_locate_only", 20006,
                    "No suitable Java runtime was found (minimum version: %S, maximum version: %S). "
                    "Please locate a runtime that is already installed.",
                    "SS", kVersionsRule),
        wide_text("preparing", 20007, "Preparing the application..."),
        wide_format("download_progress", 20008, "%.2f MB of %.2f MB (%.1f%%) at %.1f kB/s", "ffff", kProgressRule),
        wide_text("download_starting", 20009, "Connecting..."),
        wide_text("download_button", 20010, "Download"),
        wide_text("locate_button", 20011, "Locate..."),
        wide_text("cancel_button", 20012, "Cancel"),
        wide_text("caption", 20013, "Java Launcher"),
        wide_text("no_window", 20014, "The application did not open a window within 60 seconds."),
        wide_text("resume_question", 20015,
                  "The last start did not finish. Do you want to choose the Java runtime yourself?"),
        wide_text("installation_corrupted", 20016, "The installation file is damaged. Please download it again."),
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
