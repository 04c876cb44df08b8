// FileUtils.cpp — the executable as a block source, existence tests, and the
// registry deletion lists.
#include "FileUtils.h"

#include <cstring>

#include "ConfigBlock.h"
#include "DeletionList.h"
#include "ErrorReporting.h"

HANDLE OpenOwnExecutable() {
    static char path[TextBufferSize];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

int32_t ReadBlockInt(HANDLE file) {
    unsigned char bytes[4];
    DWORD got = 0;
    if (!ReadFile(file, bytes, 4, &got, nullptr) || got != 4)
        FatalInternalError("Internal Error: readInt");
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

static bool IsDriveRoot(const char* path) {
    if (strlen(path) < 2) return false;
    const char* rest = path + 1;
    return strcmp(rest, ":\\") == 0 || strcmp(rest, ":\\.") == 0 || strcmp(rest, ":\\.\\.") == 0;
}

bool FileExists(const char* path) { return IsDriveRoot(path) || FindFileTime(path, nullptr); }

bool FindFileTime(const char* path, FILETIME* time) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    if (time) *time = found.ftLastWriteTime;
    FindClose(search);
    return true;
}

// Reads a list value into `text` (TextBufferSize bytes). False when it
// exists but cannot be read, for example because it outgrew the buffer: it is
// then left alone rather than rewritten with only the new entry, which would
// drop every older one.
static bool ReadListValue(HKEY key, const char* valueName, char* text) {
    DWORD type = 0, size = TextBufferSize - 1;
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type, (BYTE*)text, &size);
    if (status == ERROR_FILE_NOT_FOUND) size = 0;
    else if (status != ERROR_SUCCESS) return false;
    text[size] = '\0';
    return true;
}

void AppendDeletionEntry(const char* path, const char* valueName) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, LAUNCHER_REGISTRY_KEY "temp\\", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    char text[TextBufferSize];
    if (ReadListValue(key, valueName, text) && AppendListEntry(text, sizeof text, path))
        RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)text, DWORD(strlen(text)));
    RegCloseKey(key);
}
