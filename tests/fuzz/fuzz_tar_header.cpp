// Fuzz target: one header block (octal fields, checksum, type, the name
// with its ustar prefix) and the entry name rules over arbitrary names.
// Whatever the name, an accepted path has the shape EntryPathCheck.h states.
#include <cstdint>
#include <cstring>
#include <string>

#include "EntryPathCheck.h"
#include "FuzzCheck.h"
#include "TarHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unsigned char block[TarBlockSize] = {};
    memcpy(block, data, size < sizeof block ? size : sizeof block);
    TarHeaderFields fields;
    if (ReadTarHeader(block, fields) == TarBlockKind::Header) {
        FUZZ_CHECK(strlen(fields.name) <= TarHeaderNameLength);
        FUZZ_CHECK(fields.size < (1ull << 63));
    }
    uint64_t value;
    if (ParseOctalField(reinterpret_cast<const char*>(data), size < 24 ? size : 24, &value))
        FUZZ_CHECK(value < (1ull << 63));

    std::string name(reinterpret_cast<const char*>(data), size);
    name = name.c_str();  // up to the first NUL, as names are stored
    char path[512];
    size_t capacity = 1 + size % sizeof path;
    if (MakeEntryPath(name.c_str(), path, capacity)) {
        FUZZ_CHECK(strlen(path) < capacity);
        FUZZ_CHECK(strlen(path) <= name.size());
        FUZZ_CHECK(IsCleanEntryPath(path));
    }
    return 0;
}
