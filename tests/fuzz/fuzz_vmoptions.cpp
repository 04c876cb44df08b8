// Fuzz target: a ".vmoptions" file read from memory, compared with the
// rule written the plain way: each line ("\n"-ended, the last one may lack
// it) without its trailing CRs, cut into pieces of VMOptionLineLimit
// characters, an empty line giving one empty option.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "KeptAllocations.h"
#include "VMOptionsFile.h"

namespace {

std::vector<std::string> ExpectedOptions(const std::string& content) {
    std::vector<std::string> options;
    for (size_t start = 0; start < content.size();) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        while (!line.empty() && line.back() == '\r') line.pop_back();
        size_t at = 0;
        do {
            options.push_back(line.substr(at, VMOptionLineLimit));
            at += VMOptionLineLimit;
        } while (at < line.size());
        start = end + 1;
    }
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    // Long lines matter here: inputs that begin with 'L' get 8190 characters
    // in front, so that their first line reaches the cut.
    if (!content.empty() && content[0] == 'L') content = std::string(8190, 'x') + content;
    FILE* file = fmemopen(content.empty() ? nullptr : &content[0], content.size(), "r");
    if (!file) return 0;
    StringList options;
    KeptAllocations kept;
    FUZZ_CHECK(ReadVMOptionLines(file, options));
    fclose(file);  // while recording: the stream's own buffer is freed here
    kept.StopRecording();
    std::vector<std::string> expected = ExpectedOptions(content);
    FUZZ_CHECK(options.Count() == expected.size());
    // An option is a C string: a NUL byte in the file ends it there.
    for (size_t i = 0; i < options.Count(); ++i) FUZZ_CHECK(strcmp(options.At(i), expected[i].c_str()) == 0);
    return 0;
}
