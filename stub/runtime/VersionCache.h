// VersionCache.h — the per-user registry cache of runtime versions, one key
// per Java executable, trusted only while the executable's last-write time
// is unchanged, so that a start need not run every candidate runtime.
#pragma once

#include <windows.h>
#include <cstddef>

#include "FileUtils.h"

// Registry lists of Java executables: the version cache (per user) and the
// runtimes a user picked by hand (per machine, else per user).
#define VERSION_CACHE_KEY LAUNCHER_REGISTRY_KEY "jvms\\"
#define LOCATED_RUNTIMES_KEY LAUNCHER_REGISTRY_KEY "locatedjvms\\"

// `listKey` followed by `path` with every '\' turned into '/', so that the
// whole path is one sub-key name. False when it does not fit.
bool RuntimeKeyName(char* out, size_t capacity, const char* listKey, const char* path);
// Turns a sub-key name of such a list back into a path, in place.
void KeyNameToPath(char* name);

// The cached version of `executable` (TextBufferSize bytes into `version`)
// when the entry's "LastWriteTime" equals `lastWriteTime` byte for byte.
bool ReadCachedVersion(const char* executable, const FILETIME& lastWriteTime, char* version);
// Creates or overwrites the entry; a registry failure is ignored.
void WriteCachedVersion(const char* executable, const FILETIME& lastWriteTime, const char* version);
