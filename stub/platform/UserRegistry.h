// UserRegistry.h — 4-byte numbers in the per-user registry (the launcher's
// flags and process ids). Registry failures are never reported: a value that
// cannot be read counts as absent, a write that fails is passed over.
#pragma once

#include <windows.h>

// Reads the value `valueName` of HKEY_CURRENT_USER\`keyPath`; true only when
// it exists and is exactly 4 bytes long.
bool ReadUserDword(const char* keyPath, const char* valueName, DWORD* value);
// Creates the key with full access if needed and sets the value as REG_DWORD.
void WriteUserDword(const char* keyPath, const char* valueName, DWORD value);
