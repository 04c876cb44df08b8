// Fuzz target: the configuration block parser over arbitrary bytes, and the
// decimal conversion of values. Every value the store keeps must read back
// with its terminating zero unit.
#include <cstdint>
#include <cstring>
#include <string>

#include "ConfigParser.h"
#include "FuzzCheck.h"

namespace {

class MemorySource : public BlockSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Read(void* buffer, uint32_t count) override {
        // Short reads now and then, as a file may give them.
        size_t n = count > 3 && position_ % 5 == 1 ? count / 2 : count;
        if (n > size_ - position_) n = size_ - position_;
        memcpy(buffer, data_ + position_, n);
        position_ += n;
        return uint32_t(n);
    }
    uint64_t Remaining() const override { return size_ - position_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// The keys the input names in its first records, read straight from the bytes.
int32_t KeyAt(const uint8_t* data, size_t size, size_t offset) {
    if (offset + 4 > size) return 0;
    return int32_t(uint32_t(data[offset]) | uint32_t(data[offset + 1]) << 8 | uint32_t(data[offset + 2]) << 16 |
                   uint32_t(data[offset + 3]) << 24);
}

void CheckTerminated(const ConfigTable& table, int32_t key, size_t unitSize) {
    size_t length = 0;
    const unsigned char* value = static_cast<const unsigned char*>(table.Find(key, &length));
    if (!value) return;
    for (size_t i = 0; i < unitSize; ++i) FUZZ_CHECK(value[length * unitSize + i] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    LauncherConfig config;
    BlockError error = ParseConfigBlock(source, config);
    FUZZ_CHECK(error == BlockError::None || BlockErrorText(error)[0] != '\0');
    // The first narrow record's key sits behind the magic and the count.
    CheckTerminated(config.narrow, KeyAt(data, size, 8), 1);
    for (int32_t key = -2; key < 200; ++key) {
        CheckTerminated(config.narrow, key, 1);
        CheckTerminated(config.wide, key, sizeof(WideUnit));
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    ParseConfigInt(text.c_str());
    return 0;
}
