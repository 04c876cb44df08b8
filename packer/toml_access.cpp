// Type checks on project-file values with readable failure messages.
#include "toml_access.h"

#include <sstream>

#include "pack_error.h"

namespace kestrel {
namespace {

[[noreturn]] void wrong_type(const toml::node& node, std::string_view what, std::string_view expected) {
    throw PackError(std::string(what) + " must be " + std::string(expected) + ", not " + type_name(node));
}

std::string joined(std::initializer_list<std::string_view> words) {
    std::string text;
    for (std::string_view word : words) text += (text.empty() ? "" : ", ") + std::string(word);
    return text;
}

}  // namespace

std::string type_name(const toml::node& node) {
    std::ostringstream stream;
    stream << node.type();
    const std::string name = stream.str();
    const bool vowel = std::string_view("aeiou").find(name.front()) != std::string_view::npos;
    return (vowel ? "an " : "a ") + name;
}

const std::string& expect_string(const toml::node& node, std::string_view what) {
    if (!node.is_string()) wrong_type(node, what, "a string");
    return node.as_string()->get();
}

bool expect_bool(const toml::node& node, std::string_view what) {
    if (!node.is_boolean()) wrong_type(node, what, "true or false");
    return node.as_boolean()->get();
}

std::int64_t expect_integer(const toml::node& node, std::string_view what) {
    if (!node.is_integer()) wrong_type(node, what, "an integer");
    return node.as_integer()->get();
}

const toml::array& expect_array(const toml::node& node, std::string_view what) {
    if (!node.is_array()) wrong_type(node, what, "an array");
    return *node.as_array();
}

const toml::table& expect_table(const toml::node& node, std::string_view what,
                                std::initializer_list<std::string_view> allowed) {
    if (!node.is_table()) wrong_type(node, what, "a table");
    const toml::table& table = *node.as_table();
    for (const auto& [key, value] : table) {
        bool known = false;
        for (std::string_view name : allowed) known = known || key.str() == name;
        if (!known) {
            throw PackError(std::string(what) + " has the unknown key '" + std::string(key.str()) + "' (expected " +
                            joined(allowed) + ")");
        }
    }
    return table;
}

std::optional<std::string> optional_string(const toml::table& table, std::string_view key, std::string_view what) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return std::nullopt;
    return expect_string(*node, std::string(what) + " '" + std::string(key) + "'");
}

std::string source_location(const std::string& file, const toml::node& node) {
    const toml::source_position begin = node.source().begin;
    if (!begin) return file;
    return file + ":" + std::to_string(begin.line) + ":" + std::to_string(begin.column);
}

}  // namespace kestrel
