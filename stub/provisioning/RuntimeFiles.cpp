// RuntimeFiles.cpp — the paths of the runtime step, handed from the worker
// that fixes them to the main thread that may have to remove the archive.
#include "RuntimeFiles.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "ConfiguredErrors.h"
#include "TextFormat.h"

// Published by the worker once complete; read by the main thread on Cancel.
static std::atomic<const RuntimeFiles*> Published{nullptr};

static void PlaceIn(const char* directory, const char* name, char* out) {
    if (!FormatText(out, TextBufferSize, "%s\\%s", directory, name)) out[0] = '\0';
}

const RuntimeFiles& PlaceRuntimeFiles(const char* directory) {
    // From the heap (as static arrays they would take 16 KB of the image),
    // kept for the life of the process.
    RuntimeFiles* files = static_cast<RuntimeFiles*>(calloc(1, sizeof(RuntimeFiles)));
    if (!files) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        FatalSystemError("runtime paths");
    }
    char current[TextBufferSize];
    if (!directory[0]) {
        DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length == 0 || length >= sizeof current) current[0] = '\0';
        directory = current;
    }
    if (directory[0]) {
        PlaceIn(directory, "jre.tar.gz", files->archive);
        PlaceIn(directory, "jre", files->runtime);
    }
    Published.store(files);
    return *files;
}

void RemoveAbandonedArchive() {
    const RuntimeFiles* files = Published.load();
    if (files && files->archive[0]) DeleteFileA(files->archive);
}
