// The named settings of a project file: which table and name set which
// launcher key, how the value is written, and the default texts of the
// launcher's messages. Both the project reader and `inspect` work from this
// one table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

enum class SettingKind {
    Text,            // string, written as is
    Arguments,       // string the launcher splits into words; a quote left open is refused
    Flag,            // boolean, written as "1" or "0"
    Integer,         // non-negative integer, written in decimal
    Choice,          // one of a few words, written as its code
    List,            // array of strings, joined with ';'
    ClassPath,       // array of class path entries
    SearchSequence,  // array of runtime sources
    LogFile,         // file name; also switches the companion key on
    PayloadFiles,    // the payload; the companion key counts the files
};

struct Choice {
    const char* word;
    const char* code;
};

struct SettingDefinition {
    std::string table;
    std::string name;
    SettingKind kind;
    std::int32_t key;
    bool wide = false;
    std::string default_text;  // used when the project does not set the key; empty: none
    std::vector<Choice> choices;
    std::int32_t companion_key = 0;
    std::string companion_role;
    // For texts the launcher uses as printf formats: the conversions it
    // supplies ('S' narrow string, 'f' floating point) and how to explain them.
    std::string format;
    std::string format_rule;

    std::string full_name() const { return table + "." + name; }
};

const std::vector<SettingDefinition>& setting_definitions();

// Names of the tables that hold named settings, in the order they are read.
std::vector<std::string> setting_tables();

const SettingDefinition* find_setting(std::string_view table, std::string_view name);

// The setting whose main value is the key, or nullptr.
const SettingDefinition* setting_for_key(std::int32_t key, bool wide);

// The setting that writes a key, like "java.main_class" or
// "logs.error_log (switch)"; empty for a key no setting writes.
std::string describe_key(std::int32_t key, bool wide);

}  // namespace kestrel
