// Fuzz target: the "-version" line and the release file's JAVA_VERSION
// line parsed into buffers of every small capacity (allocated to their
// exact size, so ASan sees a write past them; the release text is read in
// place, without a terminator), the textual version bounds and the numeric
// order of versions.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "JavaVersion.h"
#include "ReleaseFile.h"

namespace {

int Sign(int order) { return (order > 0) - (order < 0); }

void CheckVersionParses(const uint8_t* data, size_t size, const std::string& line) {
    const char* text = reinterpret_cast<const char*>(data);
    for (size_t capacity = 0; capacity <= 24; ++capacity) {
        // malloc(0) gives a block of no usable bytes: any write is reported.
        char* version = static_cast<char*>(malloc(capacity));
        if (ParseVersionLine(line.c_str(), version, capacity)) {
            FUZZ_CHECK(capacity > 0 && strlen(version) < capacity);
            FUZZ_CHECK(line.find(std::string("\"") + version + "\"") != std::string::npos);
        }
        if (ParseReleaseVersion(text, size, version, capacity)) {
            FUZZ_CHECK(capacity > 0 && strlen(version) > 0 && strlen(version) < capacity);
            std::string wanted = std::string("JAVA_VERSION=\"") + version + "\"";
            FUZZ_CHECK(std::string(text, size).find(wanted) != std::string::npos);
        }
        free(version);
    }
}

// The numeric order is a total order: each text equals itself, swapping
// turns the sign, and it is transitive.
void CheckNumericOrder(const char* a, const char* b, const char* c) {
    FUZZ_CHECK(CompareVersionNumbers(a, a) == 0);
    int ab = Sign(CompareVersionNumbers(a, b)), bc = Sign(CompareVersionNumbers(b, c));
    FUZZ_CHECK(Sign(CompareVersionNumbers(b, a)) == -ab);
    int ac = Sign(CompareVersionNumbers(a, c));
    if (ab <= 0 && bc <= 0) FUZZ_CHECK(ac <= 0);
    if (ab >= 0 && bc >= 0) FUZZ_CHECK(ac >= 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    CheckVersionParses(data, size, input.c_str());
    // Three texts for the bounds: version, minimum, maximum.
    size_t first = input.find('\0'), second = first == std::string::npos ? first : input.find('\0', first + 1);
    std::string version = input.substr(0, first).c_str();
    std::string minimum = first == std::string::npos ? "" : input.substr(first + 1, second - first - 1);
    std::string maximum = second == std::string::npos ? "" : input.substr(second + 1).c_str();
    minimum = minimum.c_str();
    bool inRange = VersionInRange(version.c_str(), minimum.c_str(), maximum.c_str(), true);
    // Empty bounds never reject.
    if (minimum.empty() && maximum.empty()) FUZZ_CHECK(inRange);
    for (bool beta : {false, true})
        FUZZ_CHECK((JudgeVersion(version.c_str(), minimum.c_str(), maximum.c_str(), beta) == VersionJudgement::InRange) ==
                   VersionInRange(version.c_str(), minimum.c_str(), maximum.c_str(), beta));
    VersionKeyMayMatch(version.c_str(), minimum.c_str(), maximum.c_str());
    CheckNumericOrder(version.c_str(), minimum.c_str(), maximum.c_str());
    return 0;
}
