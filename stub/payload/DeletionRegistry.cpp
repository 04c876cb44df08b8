// DeletionRegistry.cpp — the in-memory lists of created files and
// directories and their registry form.
#include "DeletionRegistry.h"

#include <windows.h>

#include <cstring>

#include "DeletionList.h"
#include "ErrorReporting.h"
#include "FileUtils.h"
#include "StringList.h"
#include "TextBuffer.h"

static StringList FilesToDelete;
static StringList DirectoriesToDelete;

// A path that cannot be remembered (out of memory) is simply not recorded:
// the files stay in the temporary directory, as they would anyway.
static void Remember(StringList& list, const char* path) {
    SetErrorCleanup(RunExitCleanup);
    list.Append(path);
}

void RegisterFileForDeletion(const char* path) { Remember(FilesToDelete, path); }

void RegisterDirectoryForDeletion(const char* path) { Remember(DirectoriesToDelete, path); }

void RunExitCleanup() {
    for (size_t i = 0; i < FilesToDelete.Count(); ++i)
        AppendDeletionEntry(FilesToDelete.At(i), "delete_file");
    for (size_t i = 0; i < DirectoriesToDelete.Count(); ++i)
        AppendDeletionEntry(DirectoriesToDelete.At(i), "delete_dir");
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
