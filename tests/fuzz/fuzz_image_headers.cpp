// Fuzz target: the PE headers of a file the launcher did not make (a
// runtime's jvm.dll or java.exe) and of its own executable, read from an
// exact-size copy so that ASan sees any read past the bytes given. Bytes
// behind readable headers never change what was read from them.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzCheck.h"
#include "ImageLayout.h"

namespace {

// A copy of the first `length` bytes in a block of exactly that size.
uint8_t* ExactCopy(const uint8_t* data, size_t length) {
    uint8_t* copy = static_cast<uint8_t*>(malloc(length));
    if (length > 0) memcpy(copy, data, length);
    return copy;
}

void CheckPrefix(const uint8_t* data, size_t size, size_t length) {
    uint8_t* prefix = ExactCopy(data, length);
    ImageMachine machine = ImageMachineOf(prefix, length);
    if (machine != ImageMachine::NotAnImage) FUZZ_CHECK(ImageMachineOf(data, size) == machine);
    uint64_t prefixEnd = 0, wholeEnd = 0;
    if (LastSectionRawEnd(prefix, length, &prefixEnd)) {
        FUZZ_CHECK(LastSectionRawEnd(data, size, &wholeEnd));
        FUZZ_CHECK(prefixEnd == wholeEnd);
    }
    free(prefix);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t* whole = ExactCopy(data, size);
    // Every cut within the first kilobyte, where the headers of the
    // launchers and of the runtimes' libraries lie, then every 37th.
    for (size_t length = 0; length <= size; length += length < 1024 ? 1 : 37)
        CheckPrefix(whole, size, length);
    free(whole);
    return 0;
}
