// JavaDouble.cpp — stands in for a runtime's java.exe in tests. It appends
// "start <command line>" to java.log beside itself, then behaves as
// java.cfg beside itself says, one setting per line:
//   stderr <text>   the line printed on standard error (default: nothing)
//   exit <code>     the exit code (default 0)
//   delay <ms>      how long to wait before printing and exiting
//   hold <name>     a named mutex held while it runs, so that a test can
//                   tell whether it was terminated
#include <cstdlib>

#include "DoubleLog.h"

namespace {

struct Behaviour {
    char stderrLine[1024] = "";
    int exitCode = 0;
    int delay = 0;
    char mutexName[256] = "";
};

void ReadBehaviour(Behaviour& behaviour) {
    char path[MAX_PATH * 4];
    ModuleDirectory(nullptr, path, sizeof path - 16);
    strcat(path, "java.cfg");
    FILE* file = fopen(path, "r");
    if (!file) return;
    char line[1024];
    while (fgets(line, sizeof line, file)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (strncmp(line, "stderr ", 7) == 0) strcpy(behaviour.stderrLine, line + 7);
        else if (strncmp(line, "exit ", 5) == 0) behaviour.exitCode = atoi(line + 5);
        else if (strncmp(line, "delay ", 6) == 0) behaviour.delay = atoi(line + 6);
        else if (strncmp(line, "hold ", 5) == 0) snprintf(behaviour.mutexName, sizeof behaviour.mutexName, "%s", line + 5);
    }
    fclose(file);
}

}  // namespace

int main() {
    char entry[8192];
    snprintf(entry, sizeof entry, "start %s", GetCommandLineA());
    AppendLogLine(nullptr, "java.log", entry);
    Behaviour behaviour;
    ReadBehaviour(behaviour);
    if (behaviour.mutexName[0]) CreateMutexA(nullptr, TRUE, behaviour.mutexName);
    if (behaviour.delay > 0) Sleep(DWORD(behaviour.delay));
    if (behaviour.stderrLine[0]) fprintf(stderr, "%s\n", behaviour.stderrLine);
    return behaviour.exitCode;
}
