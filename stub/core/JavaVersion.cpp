// JavaVersion.cpp — textual version bounds, the "-version" line parse, and
// the numeric order of versions.
#include "JavaVersion.h"

#include <cstring>

static size_t Shorter(size_t a, size_t b) { return a < b ? a : b; }

// strncmp compares bytes as unsigned and stops at the end of either text, so
// a version shorter than a bound sorts below it.
VersionJudgement JudgeVersion(const char* version, const char* minimum, const char* maximum, bool betaAccepted) {
    if (!betaAccepted && strstr(version, "beta")) return VersionJudgement::Beta;
    if (strncmp(version, minimum, strlen(minimum)) < 0) return VersionJudgement::BelowMinimum;
    if (strncmp(version, maximum, strlen(maximum)) > 0) return VersionJudgement::AboveMaximum;
    return VersionJudgement::InRange;
}

bool VersionInRange(const char* version, const char* minimum, const char* maximum, bool betaAccepted) {
    return JudgeVersion(version, minimum, maximum, betaAccepted) == VersionJudgement::InRange;
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

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Moves `text` to the start of its next run of digits; false when none is left.
static bool NextNumber(const char*& text) {
    while (*text && !IsDigit(*text)) ++text;
    return *text != '\0';
}

// Compares the runs of digits at `a` and `b` as numbers of any length
// (leading zeros skipped, then the longer run is the greater), and moves
// both past them.
static int CompareNumber(const char*& a, const char*& b) {
    while (*a == '0' && IsDigit(a[1])) ++a;
    while (*b == '0' && IsDigit(b[1])) ++b;
    size_t lengthA = 0, lengthB = 0;
    while (IsDigit(a[lengthA])) ++lengthA;
    while (IsDigit(b[lengthB])) ++lengthB;
    int order = lengthA != lengthB ? (lengthA < lengthB ? -1 : 1) : strncmp(a, b, lengthA);
    a += lengthA;
    b += lengthB;
    return order;
}

int CompareVersionNumbers(const char* a, const char* b) {
    for (;;) {
        bool moreA = NextNumber(a), moreB = NextNumber(b);
        if (!moreA || !moreB) return int(moreA) - int(moreB);
        int order = CompareNumber(a, b);
        if (order != 0) return order < 0 ? -1 : 1;
    }
}
