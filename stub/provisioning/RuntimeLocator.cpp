// RuntimeLocator.cpp — the open-file dialog for java.exe and the loading of
// the chosen runtime.
#include "RuntimeLocator.h"

#include <commdlg.h>

#include "ConfigBlock.h"
#include "LocatedRuntimes.h"
#include "RuntimeLoader.h"
#include "SystemLibrary.h"
#include "ConfigKeys.h"

// One filter entry, "Java EXE" matching java.exe; the list ends with a
// double NUL (the literal's own terminator is the second one).
static const char JavaExecutableFilter[] = "Java EXE\0java.exe\0";

// The chooser's title: Text::ChooserTitle in the ANSI code page; empty (the
// system's own title) when it cannot be converted.
static void ChooserTitle(char* title, int capacity) {
    wchar_t wide[TextBufferSize];
    ConfigWString(Text::ChooserTitle, wide, TextBufferSize);
    if (!WideCharToMultiByte(CP_ACP, 0, wide, -1, title, capacity, nullptr, nullptr)) title[0] = '\0';
}

bool LocateRuntime(HWND owner) {
    char chosen[TextBufferSize] = "", title[TextBufferSize];
    ChooserTitle(title, sizeof title);
    OPENFILENAMEA request = {};
    // The version-4.00 layout, which every system's chooser accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = JavaExecutableFilter;
    request.lpstrFile = chosen;
    request.nMaxFile = sizeof chosen;
    request.lpstrTitle = title[0] ? title : nullptr;
    // The chooser must not move the process's current directory (it does
    // when the user browses to another folder).
    request.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    auto chooseFile = SystemFunction<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    if (!chooseFile || !chooseFile(&request)) return false;
    if (!LoadChosenRuntime(chosen)) return false;
    RememberLocatedRuntime(chosen);
    return true;
}
