// DeletionRegistry.h — the files and directories the launcher created,
// remembered in memory and recorded in the per-user registry lists
// "delete_file" and "delete_dir" (under LAUNCHER_REGISTRY_KEY "temp\") when
// the launcher reports an error or ends itself.
#pragma once

// Remember a created file or directory. The first registration makes
// RunExitCleanup the error path's cleanup step.
void RegisterFileForDeletion(const char* path);
void RegisterDirectoryForDeletion(const char* path);
// Appends every registered file, then every registered directory, to the
// per-user deletion lists. The in-memory lists stay, so a second call
// appends the same entries again.
void RunExitCleanup();

// Appends "path;" to the registry list `valueName` ("delete_file" or
// "delete_dir") under LAUNCHER_REGISTRY_KEY "temp\".
void AppendDeletionEntry(const char* path, const char* valueName);
