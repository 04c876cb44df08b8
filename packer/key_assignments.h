// Collecting the texts of a project into launcher keys: each key may be set
// once, narrow texts are encoded in Windows-1252 and wide ones in UTF-16LE,
// and texts the launcher uses as printf formats must take its arguments.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "config_block.h"

namespace kestrel {

struct Origin {
    std::string location;  // "project.toml:12:3", or just the file
    std::string setting;   // "messages.caption", "keys.101"

    std::string context() const { return location + ": " + setting; }
};

class KeyAssignments {
public:
    // Fails with a PackError when the key is already set or the text cannot
    // be encoded or is not a fitting format.
    void assign(std::int32_t key, bool wide, const std::string& utf8_text, const Origin& origin);
    bool contains(std::int32_t key, bool wide) const;
    const ConfigBlock& block() const { return block_; }

private:
    ConfigBlock block_;
    std::map<std::pair<bool, std::int32_t>, std::string> setters_;
};

}  // namespace kestrel
