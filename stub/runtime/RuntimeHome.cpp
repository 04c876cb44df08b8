// RuntimeHome.cpp — the executable of a runtime home.
#include "RuntimeHome.h"

#include <cstring>

#include "FileUtils.h"
#include "PathText.h"

bool JavaExeFromHome(const char* home, char* executable, size_t capacity) {
    executable[0] = '\0';
    if (!AppendBounded(executable, capacity, home)) return false;
    size_t homeLength = strlen(executable);
    if (AppendBounded(executable, capacity, "\\jre\\bin\\java.exe") && FileExists(executable)) return true;
    executable[homeLength] = '\0';
    return AppendBounded(executable, capacity, "\\bin\\java.exe");
}
