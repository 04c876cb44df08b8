// MachineRegistry.h — reading string values of HKEY_LOCAL_MACHINE, where
// installers register Java runtimes, and walking the sub-keys of a key. Each launcher reads the view it gets by
// default: a 64-bit launcher the native one, a 32-bit launcher on 64-bit
// Windows the 32-bit one (WOW6432Node), as the runtimes it can load are
// registered there.
#pragma once

#include <windows.h>
#include <cstddef>

// The string value (REG_SZ) `valueName` of `keyName`, terminated, into
// `out` of `capacity` bytes. False, with `out` empty, when the key or value
// is missing, of another type, or longer than the buffer.
bool ReadMachineString(const char* keyName, const char* valueName, char* out, size_t capacity);

// Calls `visit` with the name of every sub-key of `hive`\`keyName`, in the
// registry's order, and `context`. False when the key cannot be opened.
using SubkeyVisit = void (*)(const char* name, void* context);
bool ForEachSubkey(HKEY hive, const char* keyName, SubkeyVisit visit, void* context);
