// VersionCache.cpp — reading and writing the per-user version cache entries
// ("LastWriteTime" as 8 binary bytes, "Version" as a string).
#include "VersionCache.h"

#include <cstring>

#include "ConfigBlock.h"
#include "PathText.h"

static void ReplaceAll(char* text, char from, char to) {
    for (char* p = text; *p; ++p)
        if (*p == from) *p = to;
}

bool RuntimeKeyName(char* out, size_t capacity, const char* listKey, const char* path) {
    out[0] = '\0';
    if (!AppendBounded(out, capacity, listKey)) return false;
    size_t start = strlen(out);
    if (!AppendBounded(out, capacity, path)) return false;
    ReplaceAll(out + start, '\\', '/');
    return true;
}

void KeyNameToPath(char* name) { ReplaceAll(name, '/', '\\'); }

bool ReadCachedVersion(const char* executable, const FILETIME& lastWriteTime, char* version) {
    char keyName[TextBufferSize];
    HKEY key;
    if (!RuntimeKeyName(keyName, sizeof keyName, VERSION_CACHE_KEY, executable) ||
        RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    FILETIME cachedTime;
    DWORD timeSize = sizeof cachedTime;
    // One byte less than the buffer, so the stored text can be terminated.
    DWORD versionSize = TextBufferSize - 1;
    bool found =
        RegQueryValueExA(key, "LastWriteTime", nullptr, nullptr, (BYTE*)&cachedTime, &timeSize) ==
            ERROR_SUCCESS &&
        timeSize == sizeof cachedTime && memcmp(&cachedTime, &lastWriteTime, sizeof cachedTime) == 0 &&
        RegQueryValueExA(key, "Version", nullptr, nullptr, (BYTE*)version, &versionSize) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (found) version[versionSize] = '\0';
    return found;
}

void WriteCachedVersion(const char* executable, const FILETIME& lastWriteTime, const char* version) {
    char keyName[TextBufferSize];
    HKEY key;
    if (!RuntimeKeyName(keyName, sizeof keyName, VERSION_CACHE_KEY, executable) ||
        RegCreateKeyExA(HKEY_CURRENT_USER, keyName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "LastWriteTime", 0, REG_BINARY, (const BYTE*)&lastWriteTime, sizeof lastWriteTime);
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, DWORD(strlen(version)));
    RegCloseKey(key);
}
