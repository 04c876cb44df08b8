// Unpack200Double.cpp — stands in for a runtime's bin\unpack200.exe in
// tests. "-r PACK JAR" copies PACK to JAR and deletes PACK; every start is
// appended to unpack200.log beside itself as "start <arguments>", one
// argument per field separated by '|', so the test sees how they were split.
#include "DoubleLog.h"

int main(int argc, char** argv) {
    char entry[8192] = "start";
    for (int i = 1; i < argc; ++i) {
        strncat(entry, i == 1 ? " " : "|", sizeof entry - strlen(entry) - 1);
        strncat(entry, argv[i], sizeof entry - strlen(entry) - 1);
    }
    AppendLogLine(nullptr, "unpack200.log", entry);
    if (argc != 4 || strcmp(argv[1], "-r") != 0) return 2;
    if (!CopyFileA(argv[2], argv[3], FALSE)) return 1;
    DeleteFileA(argv[2]);
    return 0;
}
