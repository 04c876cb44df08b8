// Fuzz target: the runtime archive's tar loop over an arbitrary stream into
// a target that checks what it is asked to do: only clean relative paths,
// files begun and ended in pairs, never more data than announced, a whole
// file whenever the extraction ends as done, nothing beyond the limit.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "EntryPathCheck.h"
#include "FuzzCheck.h"
#include "TarExtraction.h"

namespace {

// Hands out the input in reads of a size chosen from the input's length.
class MemorySource : public TarSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {
        static const uint32_t steps[] = {17, 100, 509, 512, 1000, 4096, 65536};
        step_ = steps[size % 7];
    }
    int32_t Read(void* buffer, uint32_t count) override {
        size_t n = count < step_ ? count : step_;
        if (n > size_ - position_) n = size_ - position_;
        memcpy(buffer, data_ + position_, n);
        position_ += n;
        return int32_t(n);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    uint32_t step_;
};

class CheckingTarget : public TarTarget {
public:
    uint64_t lastOffset = 0;
    bool fileOpen = false;

    TarStatus MakeDirectory(const char* path) override {
        FUZZ_CHECK(!fileOpen);
        FUZZ_CHECK(IsCleanEntryPath(path));
        return TarStatus::Done;
    }
    TarStatus BeginFile(const char* path, uint64_t size) override {
        FUZZ_CHECK(!fileOpen);
        FUZZ_CHECK(*path != '\0' && IsCleanEntryPath(path));
        fileOpen = true;
        announced_ = size;
        written_ = 0;
        return TarStatus::Done;
    }
    TarStatus WriteData(const void*, uint32_t count) override {
        FUZZ_CHECK(fileOpen && count > 0 && count <= TarChunkSize);
        written_ += count;
        FUZZ_CHECK(written_ <= announced_);
        return TarStatus::Done;
    }
    TarStatus EndFile() override {
        FUZZ_CHECK(fileOpen);
        fileOpen = false;
        complete_ = written_ == announced_;
        return TarStatus::Done;
    }
    TarStatus Progress(uint64_t offset) override {
        FUZZ_CHECK(offset >= lastOffset);
        lastOffset = offset;
        return TarStatus::Done;
    }
    bool LastFileComplete() const { return complete_; }

private:
    uint64_t announced_ = 0, written_ = 0;
    bool complete_ = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    CheckingTarget target;
    // Every other input runs against a limit below its own length.
    uint64_t limit = size % 2 ? size * 3 / 4 : 0;
    TarStatus status = ExtractTar(source, target, limit);
    FUZZ_CHECK(!target.fileOpen);
    FUZZ_CHECK(target.lastOffset <= size);
    if (status == TarStatus::Done) FUZZ_CHECK(target.LastFileComplete());
    if (limit != 0) FUZZ_CHECK(target.lastOffset <= limit);
    FUZZ_CHECK(status == TarStatus::Done || status == TarStatus::Damaged || status == TarStatus::TooLarge);
    return 0;
}
