// ConfigParser.h — the in-memory configuration store and the parser of the
// configuration block appended to the launcher executable.
//
// This unit is free of Win32 calls: the parser reads through a BlockSource,
// so it can be exercised with in-memory bytes (unit tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>

#include "WideUnit.h"

// First integer of every configuration block.
constexpr uint32_t ConfigMagic = 0xE8E413D5u;

// One key space (narrow or wide): values kept sorted by key, each with a
// terminating zero unit behind its `length` units. Values live as long as
// the store; a later value for the same key replaces the earlier one.
class ConfigTable {
public:
    ConfigTable() = default;
    ConfigTable(const ConfigTable&) = delete;
    ConfigTable& operator=(const ConfigTable&) = delete;
    ~ConfigTable();
    // Takes ownership of `value` (allocated with malloc); false when out of memory.
    bool Put(int32_t key, void* value, size_t length);
    // The value and its length in units, or null when the key is absent.
    const void* Find(int32_t key, size_t* length) const;
    // The number of keys held.
    size_t Count() const { return count_; }

private:
    struct Entry {
        int32_t key;
        size_t length;
        void* value;
    };
    size_t LowerBound(int32_t key) const;
    Entry* entries_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

// The two separate key spaces of the configuration.
struct LauncherConfig {
    ConfigTable narrow;  // ANSI code page text
    ConfigTable wide;    // UTF-16 text
};

// Where the block bytes come from: the executable file, or memory in tests.
class BlockSource {
public:
    virtual ~BlockSource() = default;
    // Reads up to `count` bytes; returns how many were read (0 at the end).
    virtual uint32_t Read(void* buffer, uint32_t count) = 0;
    // Bytes left behind the current position.
    virtual uint64_t Remaining() const = 0;
};

enum class BlockError { None, Magic, ReadInt, ReadString, ReadWString };

// The fixed "Internal Error: …" text for a parser failure.
const char* BlockErrorText(BlockError error);

// Reads one 32-bit little-endian signed integer; false on a short read.
bool ReadInt32(BlockSource& source, int32_t* value);

// Parses magic, narrow records and wide records from the source's current
// position into `config`, record by record (values read before a failure stay
// in the store). On success the source stands at the first payload byte.
BlockError ParseConfigBlock(BlockSource& source, LauncherConfig& config);

// Decimal conversion of a configuration value: optional leading white space,
// optional sign, digits up to the first non-digit; 0 without digits.
int32_t ParseConfigInt(const char* text);
