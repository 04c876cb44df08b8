// FileUtils.cpp — the executable file and its path, path resolution,
// existence tests, temporary names and removing a directory tree.
#include "FileUtils.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PathText.h"
#include "TextBuffer.h"
#include "TextFormat.h"

HANDLE OpenOwnExecutable() {
    char path[TextBufferSize];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Computed on first use by the one thread resolving paths at that time, and
// kept on the heap (a static buffer would take its full size in the file).
static char* CachedExecutablePath;
static char* CachedExecutableDirectory;

bool SeekFile(HANDLE file, uint64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = LONGLONG(offset);
    return offset <= uint64_t(INT64_MAX) && SetFilePointerEx(file, distance, nullptr, FILE_BEGIN);
}

bool FilePosition(HANDLE file, uint64_t* position) {
    LARGE_INTEGER zero, now;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(file, zero, &now, FILE_CURRENT)) return false;
    *position = uint64_t(now.QuadPart);
    return true;
}

// A heap copy of `text`, or "" when memory runs out.
static char* KeepCopy(const char* text) {
    char* copy = strdup(text);
    return copy ? copy : const_cast<char*>("");
}

static void ComputeExecutablePath(char* out) {
    char modulePath[TextBufferSize];
    out[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) return;
    DWORD shortLength = GetShortPathNameA(modulePath, out, TextBufferSize);
    if (shortLength == 0 || shortLength >= TextBufferSize) strcpy(out, modulePath);
    CharLowerA(out);
    CollapseBackslashes(out);
}

const char* ExecutablePath() {
    if (!CachedExecutablePath) {
        char path[TextBufferSize];
        ComputeExecutablePath(path);
        CachedExecutablePath = KeepCopy(path);
    }
    return CachedExecutablePath;
}

const char* ExecutableDirectory() {
    if (!CachedExecutableDirectory) {
        char directory[TextBufferSize];
        char* filePart = nullptr;
        DWORD length = GetFullPathNameA(ExecutablePath(), sizeof directory, directory, &filePart);
        if (length == 0 || length >= sizeof directory) directory[0] = '\0';
        else if (filePart) *filePart = '\0';
        CachedExecutableDirectory = KeepCopy(directory);
    }
    return CachedExecutableDirectory;
}

// Empties `out` and reports failure, for results that do not fit.
static bool Reject(char* out) {
    out[0] = '\0';
    return false;
}

bool ResolveAgainstExeDir(char* out, size_t capacity, const char* path) {
    out[0] = '\0';
    if (IsRelativePath(path) && !AppendBounded(out, capacity, ExecutableDirectory())) return Reject(out);
    if (!AppendBounded(out, capacity, path)) return Reject(out);
    CollapseBackslashes(out);
    return true;
}

bool NormalisePath(char* out, size_t capacity, const char* path, bool keepCase) {
    char resolved[TextBufferSize];
    if (!ResolveAgainstExeDir(resolved, sizeof resolved, path)) return Reject(out);
    DWORD length = GetFullPathNameA(resolved, DWORD(capacity), out, nullptr);
    if (length == 0 || length >= capacity) return Reject(out);
    if (!keepCase) CharLowerA(out);
    CollapseBackslashes(out);
    return true;
}

bool ResolvePathList(char* out, size_t capacity, const char* list) {
    out[0] = '\0';
    const char* entry = list;
    while (*entry) {
        size_t length = strcspn(entry, ";");
        if (length > 0) {
            char name[TextBufferSize], resolved[TextBufferSize];
            if (length >= sizeof name) return Reject(out);
            memcpy(name, entry, length);
            name[length] = '\0';
            if (!ResolveAgainstExeDir(resolved, sizeof resolved, name)) return Reject(out);
            if (out[0] && !AppendBounded(out, capacity, ";")) return Reject(out);
            if (!AppendBounded(out, capacity, resolved)) return Reject(out);
        }
        entry += length;
        if (*entry == ';') ++entry;
    }
    return true;
}

bool MakeTempFileName(char* out, size_t capacity) {
    char directory[TextBufferSize];
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory || capacity < MAX_PATH) return Reject(out);
    return GetTempFileNameA(directory, "ksl", 0, out) != 0 || Reject(out);
}

bool MakeProcessFileName(char* out, size_t capacity, unsigned long processId) {
    char directory[TextBufferSize];
    DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return Reject(out);
    return FormatText(out, capacity, "%sksl_p%d.tmp", directory, int(processId)) || Reject(out);
}

static bool IsDotEntry(const char* name) { return strcmp(name, ".") == 0 || strcmp(name, "..") == 0; }

static void DeleteEntry(char* path, size_t capacity, DWORD attributes);

// Empties and removes the directory named in `path` (a buffer of `capacity`
// bytes that each level extends by an entry name and then restores).
static void DeleteTreeAt(char* path, size_t capacity) {
    size_t length = strlen(path);
    WIN32_FIND_DATAA found;
    HANDLE search = AppendBounded(path, capacity, "\\*") ? FindFirstFileA(path, &found) : INVALID_HANDLE_VALUE;
    path[length] = '\0';
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!IsDotEntry(found.cFileName) && AppendBounded(path, capacity, "\\") &&
                AppendBounded(path, capacity, found.cFileName))
                DeleteEntry(path, capacity, found.dwFileAttributes);
            path[length] = '\0';
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path);
}

static void DeleteEntry(char* path, size_t capacity, DWORD attributes) {
    bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (directory && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        DeleteTreeAt(path, capacity);
        return;
    }
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (directory)
        RemoveDirectoryA(path);
    else
        DeleteFileA(path);
}

void DeleteDirectoryTree(const char* path) {
    char* buffer = static_cast<char*>(malloc(TextBufferSize));
    if (!buffer) return;
    buffer[0] = '\0';
    if (AppendBounded(buffer, TextBufferSize, path)) DeleteTreeAt(buffer, TextBufferSize);
    free(buffer);
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
