// KeptAllocations.h — frees, once a fuzz execution is done with them, the
// blocks a call allocated and deliberately kept: a StringList keeps its
// strings for the life of the process (the VM holds them), so without this
// every execution would add to the fuzzer's memory until it runs out.
// Uses the sanitizer allocator's hooks, which see every thread's blocks:
// only the recording thread's are recorded (libFuzzer's own threads
// allocate and free theirs meanwhile); one recording at a time.
#pragma once

#include <sanitizer/allocator_interface.h>

#include <cstdlib>

#include "FuzzCheck.h"

class KeptAllocations {
public:
    // Records every block allocated, and not freed again, from now until
    // StopRecording.
    KeptAllocations() {
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;
        FUZZ_CHECK(installed);
        count_ = 0;
        recording_ = true;
    }
    void StopRecording() { recording_ = false; }
    ~KeptAllocations() {
        recording_ = false;
        for (size_t i = 0; i < count_; ++i) free(const_cast<void*>(blocks_[i]));
        count_ = 0;
    }

private:
    static constexpr size_t Capacity = 1 << 20;

    static void OnMalloc(const volatile void* block, size_t) {
        if (!recording_) return;
        FUZZ_CHECK(count_ < Capacity);
        blocks_[count_++] = const_cast<const void*>(block);
    }
    static void OnFree(const volatile void* block) {
        if (!recording_) return;
        for (size_t i = count_; i-- > 0;)
            if (blocks_[i] == const_cast<const void*>(block)) {
                blocks_[i] = blocks_[--count_];
                return;
            }
    }

    static inline const void* blocks_[Capacity];
    static inline size_t count_ = 0;
    static inline thread_local bool recording_ = false;
};
