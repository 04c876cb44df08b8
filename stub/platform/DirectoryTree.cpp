// DirectoryTree.cpp — extended-length paths, directory creation and removal.
#include "DirectoryTree.h"

#include <cstdlib>
#include <cwchar>

// The longest extended-length path Windows handles, with its terminator.
constexpr size_t LongestPath = 32768;

bool ExtendedLengthPath(const wchar_t* path, wchar_t* out, size_t capacity) {
    const wchar_t* prefix = L"\\\\?\\";
    const wchar_t* rest = path;
    if (wcsncmp(path, L"\\\\?\\", 4) == 0) {
        prefix = L"";
    } else if (wcsncmp(path, L"\\\\", 2) == 0) {
        prefix = L"\\\\?\\UNC\\";
        rest = path + 2;
    }
    size_t prefixLength = wcslen(prefix), restLength = wcslen(rest);
    if (prefixLength + restLength + 1 > capacity) return false;
    wmemcpy(out, prefix, prefixLength);
    wmemcpy(out + prefixLength, rest, restLength + 1);
    return true;
}

static bool IsPlainDirectory(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes one directory; an existing plain directory is fine.
static bool MakeDirectory(const wchar_t* path) {
    if (CreateDirectoryW(path, nullptr)) return true;
    return GetLastError() == ERROR_ALREADY_EXISTS && IsPlainDirectory(path);
}

bool CreateDirectoryTree(const wchar_t* path, size_t firstNew) {
    size_t length = wcslen(path);
    wchar_t* partial = static_cast<wchar_t*>(malloc((length + 1) * sizeof(wchar_t)));
    if (!partial) return false;
    wmemcpy(partial, path, length + 1);
    bool made = true;
    for (size_t i = firstNew; made && i < length; ++i) {
        if (partial[i] != L'\\') continue;
        partial[i] = L'\0';
        made = MakeDirectory(partial);
        partial[i] = L'\\';
    }
    free(partial);
    return made && MakeDirectory(path);
}

enum class DirectoryScan { Empty, FoundSubdirectory, Failed };

// Deletes the files (and links) in the directory `path`; stops at the
// first subdirectory, whose name it appends to `path`.
static DirectoryScan ClearUpToSubdirectory(wchar_t* path) {
    size_t length = wcslen(path);
    if (length + 3 > LongestPath) return DirectoryScan::Failed;
    wcscpy(path + length, L"\\*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    path[length] = L'\0';
    if (search == INVALID_HANDLE_VALUE) return DirectoryScan::Failed;
    DirectoryScan scan = DirectoryScan::Empty;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        size_t nameLength = wcslen(found.cFileName);
        if (length + 1 + nameLength + 1 > LongestPath) {
            scan = DirectoryScan::Failed;
            break;
        }
        path[length] = L'\\';
        wcscpy(path + length + 1, found.cFileName);
        bool isLink = found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink) {
            scan = DirectoryScan::FoundSubdirectory;
            break;
        }
        bool removed = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path) : DeleteFileW(path);
        path[length] = L'\0';
        if (!removed) scan = DirectoryScan::Failed;
    } while (scan == DirectoryScan::Empty && FindNextFileW(search, &found));
    FindClose(search);
    return scan;
}

bool RemoveTree(const wchar_t* root) {
    if (GetFileAttributesW(root) == INVALID_FILE_ATTRIBUTES) return true;  // nothing there
    wchar_t* path = static_cast<wchar_t*>(malloc(LongestPath * sizeof(wchar_t)));
    size_t rootLength = wcslen(root);
    if (!path || rootLength >= LongestPath) {
        free(path);
        return false;
    }
    wcscpy(path, root);
    bool removed = true;
    // Down to a directory without subdirectories, empty it, remove it, and
    // look at its parent again, until the root itself is gone.
    for (;;) {
        DirectoryScan scan = ClearUpToSubdirectory(path);
        if (scan == DirectoryScan::FoundSubdirectory) continue;
        if (scan == DirectoryScan::Failed || !RemoveDirectoryW(path)) {
            removed = false;
            break;
        }
        size_t length = wcslen(path);
        if (length <= rootLength) break;
        while (length > rootLength && path[length - 1] != L'\\') --length;
        path[length - 1] = L'\0';
    }
    free(path);
    return removed;
}
