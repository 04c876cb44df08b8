// Unpack200Double.cpp — stands in for a runtime's bin\unpack200.exe in
// tests. "-r PACK JAR" copies PACK to JAR and deletes PACK; every start is
// appended to unpack200.log beside itself as "start <arguments>", one
// argument per field separated by '|', so the test sees how they were split.
// A PACK whose content begins with "hold" is a slow one: the tool writes
// part of the jar, then waits HoldMilliseconds before it finishes. One that
// begins with "fail" is a damaged one: the tool writes part of the jar and
// fails, leaving the pack.
#include "DoubleLog.h"

constexpr DWORD HoldMilliseconds = 30000;

// True when the content of `pack` begins with `word` (four letters).
static bool PackBeginsWith(const char* pack, const char* word) {
    char start[4];
    FILE* file = fopen(pack, "rb");
    if (!file) return false;
    size_t got = fread(start, 1, 4, file);
    fclose(file);
    return got == 4 && memcmp(start, word, 4) == 0;
}

static void WritePartOf(const char* jar) {
    FILE* file = fopen(jar, "wb");
    if (!file) return;
    fputs("part", file);
    fclose(file);
}

int main(int argc, char** argv) {
    char entry[8192] = "start";
    for (int i = 1; i < argc; ++i) {
        strncat(entry, i == 1 ? " " : "|", sizeof entry - strlen(entry) - 1);
        strncat(entry, argv[i], sizeof entry - strlen(entry) - 1);
    }
    AppendLogLine(nullptr, "unpack200.log", entry);
    if (argc != 4 || strcmp(argv[1], "-r") != 0) return 2;
    if (PackBeginsWith(argv[2], "fail")) {
        WritePartOf(argv[3]);
        return 1;
    }
    if (PackBeginsWith(argv[2], "hold")) {
        WritePartOf(argv[3]);
        Sleep(HoldMilliseconds);
    }
    if (!CopyFileA(argv[2], argv[3], FALSE)) return 1;
    DeleteFileA(argv[2]);
    return 0;
}
