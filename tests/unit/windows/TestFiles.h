// TestFiles.h — whole-file reads and writes for the unit tests, by narrow
// or by wide path.
#pragma once

#include <windows.h>

#include <string>

// The bytes of an open file; closes it. "<missing>" for an invalid handle.
inline std::string ReadAndClose(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes;
}

// Writes `bytes` to an open file and closes it; false for an invalid handle.
inline bool WriteAndClose(HANDLE file, const std::string& bytes) {
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadFileBytes(const std::string& path) {
    return ReadAndClose(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}
inline std::string ReadFileBytes(const std::wstring& path) {
    return ReadAndClose(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Replaces the file with `bytes`; false when it cannot be created.
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    return WriteAndClose(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), bytes);
}
inline bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    return WriteAndClose(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), bytes);
}
