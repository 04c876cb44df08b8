// ConfigParser.cpp — parsing of the configuration block (magic, narrow and
// wide records) into the LauncherConfig store. No Win32 calls.
#include "ConfigParser.h"

#include <cstdlib>
#include <cstring>

ConfigTable::~ConfigTable() {
    for (size_t i = 0; i < count_; ++i) free(entries_[i].value);
    free(entries_);
}

size_t ConfigTable::LowerBound(int32_t key) const {
    size_t low = 0, high = count_;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (entries_[middle].key < key)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

bool ConfigTable::Put(int32_t key, void* value, size_t length) {
    size_t at = LowerBound(key);
    if (at < count_ && entries_[at].key == key) {
        free(entries_[at].value);
        entries_[at].value = value;
        entries_[at].length = length;
        return true;
    }
    if (count_ == capacity_) {
        size_t grown = capacity_ ? capacity_ * 2 : 32;
        Entry* larger = static_cast<Entry*>(realloc(entries_, grown * sizeof(Entry)));
        if (!larger) return false;
        entries_ = larger;
        capacity_ = grown;
    }
    memmove(entries_ + at + 1, entries_ + at, (count_ - at) * sizeof(Entry));
    entries_[at] = Entry{key, length, value};
    ++count_;
    return true;
}

const void* ConfigTable::Find(int32_t key, size_t* length) const {
    size_t at = LowerBound(key);
    if (at == count_ || entries_[at].key != key) return nullptr;
    if (length) *length = entries_[at].length;
    return entries_[at].value;
}

const char* BlockErrorText(BlockError error) {
    switch (error) {
    case BlockError::Magic: return "Internal Error: magic";
    case BlockError::ReadInt: return "Internal Error: readInt";
    case BlockError::ReadString: return "Internal Error: readString";
    case BlockError::ReadWString: return "Internal Error: readWString";
    case BlockError::None: break;
    }
    return "";
}

// Reads exactly `count` bytes; false when the source ends first.
static bool ReadExactly(BlockSource& source, void* buffer, uint32_t count) {
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
        uint32_t n = source.Read(out, count);
        if (n == 0) return false;
        out += n;
        count -= n;
    }
    return true;
}

bool ReadInt32(BlockSource& source, int32_t* value) {
    unsigned char bytes[4];
    if (!ReadExactly(source, bytes, 4)) return false;
    *value = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                     uint32_t(bytes[3]) << 24);
    return true;
}

// Reads one record value of `length` bytes into a new allocation with
// `unitSize` zero bytes behind it. The length is checked against the bytes
// really left before anything is reserved, so a damaged or hostile length
// cannot demand a huge allocation. Null on any failure.
static unsigned char* ReadRecordValue(BlockSource& source, int32_t length, size_t unitSize) {
    if (length < 0 || uint64_t(length) > source.Remaining()) return nullptr;
    unsigned char* value = static_cast<unsigned char*>(malloc(size_t(length) + unitSize));
    if (!value) return nullptr;
    if (!ReadExactly(source, value, uint32_t(length))) {
        free(value);
        return nullptr;
    }
    memset(value + length, 0, unitSize);
    return value;
}

// Reads the count and the records of one section. Wide values are UTF-16LE;
// a wide record of odd byte length is read in full (so the next record stays
// in place) and its lone last byte is dropped.
static BlockError ParseSection(BlockSource& source, ConfigTable& table, bool wide) {
    const BlockError valueError = wide ? BlockError::ReadWString : BlockError::ReadString;
    const size_t unitSize = wide ? sizeof(WideUnit) : 1;
    int32_t count;
    if (!ReadInt32(source, &count)) return BlockError::ReadInt;
    for (int32_t i = 0; i < count; ++i) {
        int32_t key, length;
        if (!ReadInt32(source, &key) || !ReadInt32(source, &length)) return BlockError::ReadInt;
        unsigned char* value = ReadRecordValue(source, length, unitSize);
        if (!value) return valueError;
        size_t units = size_t(length) / unitSize;
        if (wide) {
            // Stored little-endian; each 2-byte unit is converted where it lies.
            WideUnit* text = reinterpret_cast<WideUnit*>(value);
            for (size_t u = 0; u < units; ++u) text[u] = WideUnit(value[2 * u] | value[2 * u + 1] << 8);
            text[units] = 0;
        }
        if (!table.Put(key, value, units)) {
            free(value);
            return valueError;
        }
    }
    return BlockError::None;
}

BlockError ParseConfigBlock(BlockSource& source, LauncherConfig& config) {
    int32_t magic;
    if (!ReadInt32(source, &magic)) return BlockError::ReadInt;
    if (uint32_t(magic) != ConfigMagic) return BlockError::Magic;
    BlockError error = ParseSection(source, config.narrow, false);
    if (error != BlockError::None) return error;
    return ParseSection(source, config.wide, true);
}

int32_t ParseConfigInt(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    // Values past 32 bits wrap around rather than invoke undefined behaviour.
    uint32_t value = 0;
    while (*text >= '0' && *text <= '9') value = value * 10u + uint32_t(*text++ - '0');
    return negative ? int32_t(0u - value) : int32_t(value);
}
