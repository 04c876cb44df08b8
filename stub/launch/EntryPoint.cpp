// EntryPoint.cpp — the program entry: computes the command-line tail and the
// show command and hands them to WinMain, whose result is the exit code.
#include "LauncherMain.h"

// Show command used when the start-up information carries none.
constexpr int DefaultShowCommand = SW_SHOWDEFAULT;

int main() {
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : DefaultShowCommand;
    char* tail = const_cast<char*>(CommandLineTail(GetCommandLineA()));
    return WinMain(GetModuleHandleA(nullptr), nullptr, tail, show);
}
