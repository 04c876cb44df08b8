// EntryPoint.cpp — the program entry: hands the module and the wide command
// line to LauncherMain, whose result is the exit code. The process ends
// through EndProcess, never by returning to the C runtime, whose exit would
// run static destructors while the worker and the VM may still run.
#include "CodePages.h"
#include "ErrorReporting.h"
#include "LauncherMain.h"

int main() { EndProcess(LauncherMain(GetModuleHandleA(nullptr), ProcessCommandLine())); }
