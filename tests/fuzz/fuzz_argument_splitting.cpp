// Fuzz target: argument splitting with and without a prefix. The input is
// "prefix NUL text"; the scan must stop inside the text, and every word must
// be made of the text's own characters.
#include <cstdint>
#include <cstring>
#include <string>

#include "ArgumentSplitting.h"
#include "FuzzCheck.h"
#include "KeptAllocations.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nul = input.find('\0');
    std::string prefix = nul == std::string::npos ? "" : input.substr(0, nul);
    std::string text = nul == std::string::npos ? input : input.substr(nul + 1);
    text = text.c_str();
    bool inText[256] = {};
    for (unsigned char c : text) inText[c] = true;
    for (const char* used : {static_cast<const char*>(nullptr), prefix.c_str()}) {
        StringList words;
        KeptAllocations kept;
        SplitResult result = SplitArguments(text.c_str(), used, words);
        kept.StopRecording();
        FUZZ_CHECK(result.stop >= text.c_str() && result.stop <= text.c_str() + text.size());
        if ((!used || !*used) && result.status == SplitStatus::Done) FUZZ_CHECK(*result.stop == '\0');
        size_t total = 0;
        for (size_t i = 0; i < words.Count(); ++i) {
            const char* word = words.At(i);
            for (; *word; ++word, ++total) FUZZ_CHECK(inText[static_cast<unsigned char>(*word)]);
        }
        FUZZ_CHECK(total <= text.size());
    }
    return 0;
}
