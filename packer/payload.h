// The payload: the files the launcher writes into its temporary directory at
// start-up. Each is stored as a 32-bit length and its bytes XOR 0x0B; their
// names and number travel in keys 2003 and 2002 of the configuration block.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "config_block.h"

namespace kestrel {

constexpr std::int32_t kPayloadCountKey = 2002;
constexpr std::int32_t kPayloadNamesKey = 2003;
constexpr unsigned char kPayloadKey = 0x0B;

struct PayloadFile {
    std::filesystem::path source;
    std::string name;  // UTF-8; the launcher sees it in Windows-1252
    std::uint64_t size;
};

// Why a name cannot be a payload file name, or an empty string when it can.
std::string payload_name_problem(std::string_view name);

// Key 2003: every name followed by ';'.
std::string payload_name_list(const std::vector<PayloadFile>& files);

void write_payload(std::ostream& out, const std::vector<PayloadFile>& files);

struct PayloadEntry {
    std::string name;  // as stored, Windows-1252
    std::int32_t size;
};

// Walks the payload records the way the launcher extracts them, using keys
// 2002 and 2003 of `block`; a record that runs past the end is a PackError.
std::vector<PayloadEntry> read_payload_index(std::string_view image, std::size_t offset, const ConfigBlock& block);

}  // namespace kestrel
