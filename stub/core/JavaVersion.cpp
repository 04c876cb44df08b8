// JavaVersion.cpp — textual version bounds and the "-version" line parse.
#include "JavaVersion.h"

#include <cstring>

static size_t Shorter(size_t a, size_t b) { return a < b ? a : b; }

// strncmp compares bytes as unsigned and stops at the end of either text, so
// a version shorter than a bound sorts below it.
bool VersionInRange(const char* version, const char* minimum, const char* maximum, bool betaAccepted) {
    if (!betaAccepted && strstr(version, "beta")) return false;
    if (strncmp(version, minimum, strlen(minimum)) < 0) return false;
    if (strncmp(version, maximum, strlen(maximum)) > 0) return false;
    return true;
}

bool VersionKeyMayMatch(const char* name, const char* minimum, const char* maximum) {
    size_t length = strlen(name);
    if (strncmp(name, minimum, Shorter(length, strlen(minimum))) < 0) return false;
    if (strncmp(name, maximum, Shorter(length, strlen(maximum))) > 0) return false;
    return true;
}

// Both prefixes end with the opening double quote of the version.
static const char* const VersionLinePrefixes[] = {"java version \"", "openjdk version \""};

bool ParseVersionLine(const char* line, char* version, size_t capacity) {
    if (capacity == 0) return false;
    version[0] = '\0';
    for (const char* prefix : VersionLinePrefixes) {
        size_t prefixLength = strlen(prefix);
        if (strncmp(line, prefix, prefixLength) != 0) continue;
        const char* start = line + prefixLength;
        const char* end = strchr(start, '"');
        if (!end || size_t(end - start) >= capacity) return false;
        memcpy(version, start, size_t(end - start));
        version[end - start] = '\0';
        return true;
    }
    return false;
}
