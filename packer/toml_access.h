// Typed access to project-file values. Each accessor either returns the value
// or fails with a PackError that says what was expected and what was found;
// the caller puts the file, position and setting name in front.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace kestrel {

std::string type_name(const toml::node& node);

const std::string& expect_string(const toml::node& node, std::string_view what);
bool expect_bool(const toml::node& node, std::string_view what);
std::int64_t expect_integer(const toml::node& node, std::string_view what);
const toml::array& expect_array(const toml::node& node, std::string_view what);

// A table whose keys must all be among `allowed`.
const toml::table& expect_table(const toml::node& node, std::string_view what,
                                std::initializer_list<std::string_view> allowed);

std::optional<std::string> optional_string(const toml::table& table, std::string_view key, std::string_view what);

// "file:line:column" of a value; just "file" for values without a position.
std::string source_location(const std::string& file, const toml::node& node);

}  // namespace kestrel
