// RuntimeArchive.cpp — the gzip-compressed tar reader on zlib's read side
// (gzclose_r rather than gzclose, which would link the whole deflate side),
// the runtime step of the launch sequence, and the pack-expansion animation.
#include "RuntimeArchive.h"

#include <commctrl.h>
#include <cstdio>

#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "Progress.h"
#include "PackExpansion.h"
#include "Resources.h"
#include "TarHeader.h"
#include "WinLoader.h"
#include "TextFormat.h"
#include "ConfigKeys.h"

static const char* const ArchiveName = "jre.tar.gz";
static const char* const RuntimeDirectoryName = "jre";

// The bar follows the offset in the uncompressed tar stream against `total`.
static void ShowExtractionProgress(HWND dialog, gzFile stream, int32_t total) {
    if (!dialog) return;
    int position = ExtractionProgress(gztell(stream), total);
    if (position >= 0) SetProgressPosition(dialog, position);
}

// Skips `count` bytes forward. zlib skips lazily, at the next read, so a
// skip past the end of the stream shows at the next header read.
static bool Skip(gzFile stream, int32_t count) {
    return count == 0 || gzseek(stream, z_off_t(count), SEEK_CUR) != -1;
}

bool WriteEntryFile(gzFile stream, const char* path, int32_t size, HWND dialog, int32_t total) {
    FILE* file = fopen(path, "wb");
    if (!file) {
        char text[TextBufferSize];
        FormatText(text, sizeof text, "Could not write file %s\n", path);
        FatalInternalError(text);
    }
    char chunk[RuntimeArchiveChunkSize];
    int32_t written = 0;
    DWORD lastUpdate = 0;
    bool writeFailed = false;
    while (written < size) {
        int32_t left = size - written;
        unsigned wanted = left < int32_t(sizeof chunk) ? unsigned(left) : unsigned(sizeof chunk);
        // -1 is a stream error; 0 before the size is reached, a truncated archive.
        int got = gzread(stream, chunk, wanted);
        if (got <= 0) break;
        written += got;
        if (fwrite(chunk, 1, size_t(got), file) != size_t(got) || ferror(file)) {
            writeFailed = true;
            break;
        }
        DWORD now = GetTickCount();
        if (now - lastUpdate > RuntimeArchiveUpdateMilliseconds) {
            lastUpdate = now;
            ShowExtractionProgress(dialog, stream, total);
        }
    }
    bool complete = written == size && !writeFailed && !ferror(file);
    if (fclose(file) != 0) complete = false;
    return complete;
}

// Reads entry after entry from the start of the stream; true at the end of
// the archive, false for anything damaged, truncated or not written.
static bool ExtractEntries(gzFile stream, HWND dialog, int32_t total) {
    // Where the next header must begin in the uncompressed stream: a skip
    // that ran past the end (zlib does not report it) leaves the stream short
    // of it.
    int64_t headerStart = 0;
    char header[TarHeaderReadSize];
    for (;;) {
        if (gzeof(stream)) return true;
        int got = gzread(stream, header, sizeof header);
        if (got < 0 || int64_t(gztell(stream)) != headerStart + got) return false;
        // The stream ends at a block boundary: no end blocks, but nothing lost.
        if (got == 0) return gzeof(stream) != 0;
        if (got < TarHeaderReadSize) return false;
        if (!IsTarHeader(header)) return true;
        if (!Skip(stream, TarBlockSize - TarHeaderReadSize)) return false;

        TarEntry entry;
        ReadTarEntry(header, entry);
        if (entry.size < 0) return false;
        bool dataRead = false;
        if (entry.pathIsSafe && entry.kind == TarEntryKind::Directory) {
            CreateDirectoryA(entry.path, nullptr);  // one level; an existing one is fine
        } else if (entry.pathIsSafe && entry.kind == TarEntryKind::RegularFile) {
            ShowExtractionProgress(dialog, stream, total);
            if (!WriteEntryFile(stream, entry.path, entry.size, dialog, total)) return false;
            dataRead = true;
        }
        // Links, long names, other types and unsafe names: the data is passed
        // over (a directory's too, should it have any).
        if (!dataRead && !Skip(stream, entry.size)) return false;
        if (!Skip(stream, TarPaddingSize(entry.size))) return false;
        headerStart += TarBlockSize + int64_t(entry.size) + TarPaddingSize(entry.size);
    }
}

bool ExtractTarGz(const char* archive, const char* destination, HWND dialog, int32_t total) {
    char previous[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof previous, previous);
    if (length == 0 || length >= sizeof previous) return false;
    gzFile stream = gzopen(archive, "rb");
    if (!stream) return false;
    bool extracted = false;
    // Entries are never created outside the destination.
    if (SetCurrentDirectoryA(destination)) {
        extracted = ExtractEntries(stream, dialog, total);
        SetCurrentDirectoryA(previous);
    }
    gzclose_r(stream);
    return extracted;
}

DWORD WINAPI AnimateJarExpansion(LPVOID progressDialog) {
    HWND dialog = static_cast<HWND>(progressDialog);
    for (int position = 100; !Progress.jarsExpanded;) {
        Sleep(Progress.extractionTime / 10);
        position += 10;
        SetProgressPosition(dialog, position);
        if (position >= 200) break;
    }
    return 0;
}

void ExtractRuntime(HWND dialog) {
    DWORD start = GetTickCount();
    CreateDirectoryA(RuntimeDirectoryName, nullptr);
    // The outcome is left to the runtime check below.
    ExtractTarGz(ArchiveName, RuntimeDirectoryName, dialog, ConfigInt(Key::ArchiveSize));
    DeleteFileA(ArchiveName);
    Progress.extractionTime = GetTickCount() - start;
    if (ConfigInt(Key::PackedJars) != 0) {
        if (dialog) StartProgressThread(AnimateJarExpansion, dialog);
        ExpandPackedJars(RuntimeDirectoryName);
        Progress.jarsExpanded = true;
    }
    char home[TextBufferSize];
    DWORD length = GetFullPathNameA(RuntimeDirectoryName, sizeof home, home, nullptr);
    if (length == 0 || length >= sizeof home || !LoadJavaRuntime(true, home, false))
        ExitLauncher(UnusableRuntimeExitCode);
}
