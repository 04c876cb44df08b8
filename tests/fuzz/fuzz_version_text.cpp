// Fuzz target: the "-version" line parse into buffers of every small
// capacity (allocated to their exact size, so ASan sees a write past
// them), and the textual version bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "JavaVersion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string line = input.c_str();
    for (size_t capacity = 0; capacity <= 24; ++capacity) {
        // malloc(0) gives a block of no usable bytes: any write is reported.
        char* version = static_cast<char*>(malloc(capacity));
        if (ParseVersionLine(line.c_str(), version, capacity)) {
            FUZZ_CHECK(capacity > 0 && strlen(version) < capacity);
            FUZZ_CHECK(line.find(std::string("\"") + version + "\"") != std::string::npos);
        }
        free(version);
    }
    // Three texts for the bounds: version, minimum, maximum.
    size_t first = input.find('\0'), second = first == std::string::npos ? first : input.find('\0', first + 1);
    std::string version = input.substr(0, first).c_str();
    std::string minimum = first == std::string::npos ? "" : input.substr(first + 1, second - first - 1);
    std::string maximum = second == std::string::npos ? "" : input.substr(second + 1).c_str();
    minimum = minimum.c_str();
    bool inRange = VersionInRange(version.c_str(), minimum.c_str(), maximum.c_str(), true);
    // Empty bounds never reject.
    if (minimum.empty() && maximum.empty()) FUZZ_CHECK(inRange);
    VersionKeyMayMatch(version.c_str(), minimum.c_str(), maximum.c_str());
    return 0;
}
