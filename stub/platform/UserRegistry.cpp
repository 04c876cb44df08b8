// UserRegistry.cpp — reading and writing REG_DWORD values under
// HKEY_CURRENT_USER.
#include "UserRegistry.h"

bool ReadUserDword(const char* keyPath, const char* valueName, DWORD* value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD data = 0, size = sizeof data;
    bool read = RegQueryValueExA(key, valueName, nullptr, nullptr, (BYTE*)&data, &size) == ERROR_SUCCESS &&
                size == sizeof data;
    RegCloseKey(key);
    if (read) *value = data;
    return read;
}

void WriteUserDword(const char* keyPath, const char* valueName, DWORD value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
}
