// ArchiveTarget.h — where the runtime archive's entries are created: files
// and directories below a destination directory through the wide file API
// (names decoded from UTF-8, paths beyond 260 characters), missing parent
// directories made on the way, the free space watched, the progress bar
// moved, and the user's Cancel noticed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "TarExtraction.h"
#include "TextBuffer.h"

// Free space that must remain on the destination's drive besides a file
// about to be written; below it the extraction stops as NoSpace.
constexpr uint64_t ExtractionSpaceReserve = 16ull * 1024 * 1024;

class ArchiveTarget : public TarTarget {
public:
    // `destination`: the full path of an existing directory. The bar of
    // `progressDialog` (when given) follows the offset against `total` (0 or
    // less: the bar stays).
    ArchiveTarget(const wchar_t* destination, HWND progressDialog, int32_t total);
    ~ArchiveTarget() override;
    // False when the destination's path is too long to work with.
    bool Ready() const { return rootLength_ > 0; }

    TarStatus MakeDirectory(const char* path) override;
    TarStatus BeginFile(const char* path, uint64_t size) override;
    TarStatus WriteData(const void* data, uint32_t count) override;
    TarStatus EndFile() override;
    TarStatus Progress(uint64_t offset) override;

    // The entry that could not be created (CannotCreate), below the
    // destination, in the ANSI code page for messages.
    const char* FailedPath() const { return failedPath_; }

private:
    bool ComposePath(const char* path);
    TarStatus CannotCreate(const char* path);
    bool SpaceFor(uint64_t size);

    wchar_t path_[2 * TextBufferSize];  // extended-length destination, then the entry
    size_t rootLength_ = 0;             // up to and with the destination's trailing '\'
    char failedPath_[TextBufferSize] = "";
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HWND dialog_;
    int32_t total_;
    int lastPosition_ = -1;
    // Bytes known to be free above the reserve: what the drive reported at
    // its last reading, less what the files begun since may take.
    uint64_t room_ = 0;
};
