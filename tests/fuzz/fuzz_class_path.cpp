// Fuzz target: the configured class path list and the environment
// variable's place on the class path. Entries lie inside the list, in
// order, each with a name; the cursor always moves on.
#include <cstdint>
#include <cstring>
#include <string>

#include "ClassPathSpec.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string list(reinterpret_cast<const char*>(data), size);
    list = list.c_str();
    const char* begin = list.c_str();
    const char* end = begin + list.size();
    const char* cursor = begin;
    ClassPathEntry entry;
    while (NextClassPathEntry(&cursor, entry)) {
        FUZZ_CHECK(entry.name >= begin + 2 && entry.name + entry.nameLength <= end);
        FUZZ_CHECK(entry.nameLength >= 1 && memchr(entry.name, ';', entry.nameLength) == nullptr);
        FUZZ_CHECK(cursor >= entry.name + entry.nameLength && cursor <= end);
    }
    FUZZ_CHECK(cursor == end);
    ClassPathValue value = EnvironmentClassPathValue(begin);
    FUZZ_CHECK(value.text >= begin && value.text + value.length <= end);
    return 0;
}
