// Fuzz target: variable expansion in place. The input gives the buffer's
// capacity, the text, the directories and an environment block; the text
// never outgrows its buffer (ASan sees the buffer's exact end) and stays
// terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "VariableExpansion.h"

namespace {

// The input's pieces, separated by the byte 0x01.
std::vector<std::string> Pieces(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0x01) pieces.emplace_back();
        else pieces.back() += char(data[i]);
    }
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t capacity = 1 + (size_t(data[0]) | size_t(data[1]) << 8) % 8192;
    std::vector<std::string> pieces = Pieces(data + 2, size - 2);
    pieces.resize(pieces.size() < 4 ? 4 : pieces.size());
    std::string text = pieces[0].c_str();
    if (text.size() >= capacity) text.resize(capacity - 1);
    // Environment entries: every piece from the fourth on, NUL-separated.
    std::string environment;
    for (size_t i = 3; i < pieces.size(); ++i) environment += std::string(pieces[i].c_str()) + '\0';
    environment += '\0';

    char* buffer = static_cast<char*>(malloc(capacity));
    memcpy(buffer, text.c_str(), text.size() + 1);
    VariableValues values = {pieces[1].c_str(), pieces[2].c_str(), environment.c_str()};
    ExpandReferences(buffer, capacity, values);
    FUZZ_CHECK(memchr(buffer, '\0', capacity) != nullptr);
    ReplaceAll(buffer, capacity, pieces[1].c_str(), pieces[2].c_str());
    FUZZ_CHECK(memchr(buffer, '\0', capacity) != nullptr);
    free(buffer);
    return 0;
}
