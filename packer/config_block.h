// The configuration block behind the stub image: a magic number, the narrow
// records (Windows-1252 text) and the wide records (UTF-16LE text), each in
// ascending key order. The payload follows the last wide record directly.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace kestrel {

constexpr std::uint32_t kConfigMagic = 0xE8E413D5;

struct ConfigBlock {
    std::map<std::int32_t, std::string> narrow;  // key -> Windows-1252 bytes
    std::map<std::int32_t, std::string> wide;    // key -> UTF-16LE bytes
};

std::string serialize_config_block(const ConfigBlock& block);

struct ParsedBlock {
    ConfigBlock block;
    std::size_t payload_offset;  // first byte behind the last wide record
};

// Reads the block that starts at `offset` of a launcher image. A wrong magic,
// a negative or odd length, or a record that runs past the end is a PackError.
ParsedBlock parse_config_block(std::string_view image, std::size_t offset);

}  // namespace kestrel
