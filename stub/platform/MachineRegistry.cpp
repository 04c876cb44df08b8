// MachineRegistry.cpp — one string value, checked for its type and length;
// the enumeration of sub-keys.
#include "MachineRegistry.h"

#include <windows.h>

bool ReadMachineString(const char* keyName, const char* valueName, char* out, size_t capacity) {
    HKEY key;
    out[0] = '\0';
    if (capacity < 2 || RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // One byte kept for the terminator the stored text may lack.
    DWORD size = DWORD(capacity - 1), type = REG_NONE;
    bool read = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) ==
                    ERROR_SUCCESS &&
                type == REG_SZ;
    RegCloseKey(key);
    out[read ? size : 0] = '\0';
    return read;
}

bool ForEachSubkey(HKEY hive, const char* keyName, SubkeyVisit visit, void* context) {
    HKEY key;
    if (RegOpenKeyExA(hive, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    // 256 bytes hold the longest key name the registry allows.
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) visit(name, context);
    }
    RegCloseKey(key);
    return true;
}
