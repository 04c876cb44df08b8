// Turning the value of a named setting into the launcher texts it stands for,
// such as a class path array into "A1lib/app.jar;D0classes".
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings_schema.h"

namespace kestrel {

struct KeyText {
    std::int32_t key;
    std::string text;  // UTF-8
};

// The key texts one setting writes (two for a log file, one otherwise).
// Payload files are not handled here; they are files, not texts.
std::vector<KeyText> setting_key_texts(const SettingDefinition& definition, const toml::node& value);

}  // namespace kestrel
