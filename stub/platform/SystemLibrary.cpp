// SystemLibrary.cpp — the full path of a library in the system directory.
#include "SystemLibrary.h"

#include "PathText.h"
#include "TextBuffer.h"

HMODULE LoadSystemLibrary(const char* library) {
    char path[TextBufferSize];
    UINT length = GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path || !AppendBounded(path, sizeof path, "\\") ||
        !AppendBounded(path, sizeof path, library))
        return nullptr;
    return LoadLibraryA(path);
}
