// VMOptionsFile.cpp — reading VM options line by line.
#include "VMOptionsFile.h"

#include <cstring>

static size_t StripLineEnd(char* line) {
    size_t length = strlen(line);
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n')) line[--length] = '\0';
    return length;
}

bool ReadVMOptionLines(FILE* file, StringList& options) {
    char line[VMOptionLineLimit + 1];
    bool continuesCutLine = false;
    while (fgets(line, sizeof line, file)) {
        bool endsLine = strchr(line, '\n') != nullptr;
        size_t length = StripLineEnd(line);
        // A line exactly as long as the limit leaves only its line end for
        // the next read: that is the end of the same line, not an empty one.
        bool onlyTheCutLinesEnd = continuesCutLine && length == 0 && endsLine;
        continuesCutLine = !endsLine && length == VMOptionLineLimit;
        if (onlyTheCutLinesEnd) continue;
        if (!options.Append(line)) return false;
    }
    return true;
}
