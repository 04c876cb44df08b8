// RuntimeHome.cpp — the executable and the release file of a runtime home.
#include "RuntimeHome.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "FileUtils.h"
#include "PathText.h"
#include "ReleaseFile.h"
#include "TextBuffer.h"

bool JavaExeFromHome(const char* home, char* executable, size_t capacity) {
    executable[0] = '\0';
    if (!AppendBounded(executable, capacity, home)) return false;
    size_t homeLength = strlen(executable);
    if (AppendBounded(executable, capacity, "\\jre\\bin\\java.exe") && FileExists(executable)) return true;
    executable[homeLength] = '\0';
    return AppendBounded(executable, capacity, "\\bin\\java.exe");
}

bool HomeOfExecutable(const char* executable, char* home, size_t capacity) {
    static const char ExecutableInBin[] = "\\bin\\java.exe";
    size_t length = strlen(executable), tail = sizeof ExecutableInBin - 1;
    if (length <= tail || strcmp(executable + length - tail, ExecutableInBin) != 0 || length - tail >= capacity)
        return false;
    memcpy(home, executable, length - tail);
    home[length - tail] = '\0';
    return true;
}

bool ReadReleaseVersion(const char* home, char* version, size_t capacity) {
    char path[TextBufferSize] = "";
    if (!AppendBounded(path, sizeof path, home) || !AppendBounded(path, sizeof path, "\\release")) return false;
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    // One byte more than a release file may have, so a longer file shows.
    char* text = static_cast<char*>(malloc(ReleaseFileLimit + 1));
    size_t length = text ? fread(text, 1, ReleaseFileLimit + 1, file) : 0;
    fclose(file);
    bool parsed = text && ParseReleaseVersion(text, length, version, capacity);
    free(text);
    return parsed;
}
