// EntryPoint.cpp — the program entry: hands the module and the wide command
// line to LauncherMain, whose result is the exit code.
#include "CodePages.h"
#include "LauncherMain.h"

int main() { return LauncherMain(GetModuleHandleA(nullptr), ProcessCommandLine()); }
