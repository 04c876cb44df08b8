// Conversions from project-file values to launcher key texts, one per kind of
// setting. Lists are joined with ';', so no item may contain one.
#include "setting_values.h"

#include <iterator>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "ArgumentSplitting.h"
#include "pack_error.h"
#include "toml_access.h"

namespace kestrel {
namespace {

struct TaggedField {
    std::string_view field;
    char letter;
};

constexpr TaggedField kClassPathKinds[] = {{"archive", 'A'}, {"directory", 'D'}, {"scan", 'S'}, {"env", 'E'}};
constexpr TaggedField kRuntimeSourceTables[] = {{"env", 'E'}, {"directory", 'A'}};
constexpr TaggedField kRuntimeSourceWords[] = {{"registry", 'Y'}, {"registrations", 'V'}, {"path", 'S'}};

std::string item_name(std::size_t index) {
    return "entry " + std::to_string(index + 1);
}

const std::string& list_item(const toml::node& node, const std::string& what) {
    const std::string& text = expect_string(node, what);
    if (text.empty()) throw PackError(what + " is empty");
    if (text.find(';') != std::string::npos) throw PackError(what + " contains ';', which separates entries");
    return text;
}

// The one field of `table` that is named in `fields`, as its letter followed
// by its text.
std::string tagged_field(const toml::table& table, const TaggedField* fields, std::size_t count,
                         const std::string& what) {
    std::string result;
    for (std::size_t i = 0; i < count; ++i) {
        const toml::node* node = table.get(fields[i].field);
        if (node == nullptr) continue;
        if (!result.empty()) throw PackError(what + " names more than one kind");
        result = fields[i].letter + list_item(*node, what + " '" + std::string(fields[i].field) + "'");
    }
    if (result.empty()) throw PackError(what + " names no kind");
    return result;
}

std::string class_path_entry(const toml::node& node, const std::string& what) {
    const toml::table& table = expect_table(node, what, {"archive", "directory", "scan", "env", "mandatory"});
    const std::string tagged = tagged_field(table, kClassPathKinds, std::size(kClassPathKinds), what);
    const toml::node* mandatory = table.get("mandatory");
    const bool required = mandatory != nullptr && expect_bool(*mandatory, what + " 'mandatory'");
    return tagged.substr(0, 1) + (required ? "1" : "0") + tagged.substr(1);
}

std::string runtime_source(const toml::node& node, const std::string& what) {
    if (node.is_table()) {
        const toml::table& table = expect_table(node, what, {"env", "directory"});
        return tagged_field(table, kRuntimeSourceTables, std::size(kRuntimeSourceTables), what);
    }
    const std::string& word = expect_string(node, what);
    for (const TaggedField& source : kRuntimeSourceWords) {
        if (word == source.field) return std::string(1, source.letter);
    }
    throw PackError(what + " is the unknown source '" + word +
                    "' (expected \"registry\", \"registrations\", \"path\", { env = ... } or { directory = ... })");
}

template <typename ItemText>
std::string joined_list(const toml::node& node, ItemText item_text) {
    std::string joined;
    const toml::array& items = expect_array(node, "the value");
    for (std::size_t i = 0; i < items.size(); ++i) {
        joined += (i == 0 ? "" : ";") + item_text(items[i], item_name(i));
    }
    return joined;
}

std::string choice_code(const SettingDefinition& definition, const toml::node& node) {
    const std::string& word = expect_string(node, "the value");
    std::string expected;
    for (const Choice& choice : definition.choices) {
        if (word == choice.word) return choice.code;
        expected += (expected.empty() ? "" : ", ") + std::string(choice.word);
    }
    throw PackError("unknown value '" + word + "' (expected " + expected + ")");
}

std::string integer_text(const toml::node& node) {
    const std::int64_t value = expect_integer(node, "the value");
    if (value < 0 || value > std::numeric_limits<std::int32_t>::max()) {
        throw PackError("the value " + std::to_string(value) + " is outside 0 to 2147483647");
    }
    return std::to_string(value);
}

// A text the launcher cuts into words at run time (ArgumentSplitting.h): a
// word that opens a quote without closing it would stop every start.
std::string argument_text(const toml::node& node) {
    const std::string& text = expect_string(node, "the value");
    StringList words;
    if (SplitArguments(text.c_str(), words) == SplitStatus::UnterminatedQuote)
        throw PackError("a quoted word is not closed: the launcher would stop at every start");
    return text;
}

std::string log_file_name(const toml::node& node) {
    const std::string& name = expect_string(node, "the value");
    if (name.empty()) throw PackError("the file name is empty");
    return name;
}

}  // namespace

std::vector<KeyText> setting_key_texts(const SettingDefinition& definition, const toml::node& value) {
    switch (definition.kind) {
        case SettingKind::Text:
            return {{definition.key, expect_string(value, "the value")}};
        case SettingKind::Arguments:
            return {{definition.key, argument_text(value)}};
        case SettingKind::Flag:
            return {{definition.key, expect_bool(value, "the value") ? "1" : "0"}};
        case SettingKind::Integer:
            return {{definition.key, integer_text(value)}};
        case SettingKind::Choice:
            return {{definition.key, choice_code(definition, value)}};
        case SettingKind::List:
            return {{definition.key, joined_list(value, list_item)}};
        case SettingKind::ClassPath:
            return {{definition.key, joined_list(value, class_path_entry)}};
        case SettingKind::SearchSequence:
            return {{definition.key, joined_list(value, runtime_source)}};
        case SettingKind::LogFile:
            return {{definition.companion_key, "1"}, {definition.key, log_file_name(value)}};
        case SettingKind::PayloadFiles:
            break;
    }
    throw std::logic_error("setting " + definition.full_name() + " has no key text");
}

}  // namespace kestrel
