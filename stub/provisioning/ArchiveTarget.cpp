// ArchiveTarget.cpp — files and directories of the runtime archive on disk.
#include "ArchiveTarget.h"

#include <cstring>
#include <cwchar>

#include "Cancellation.h"
#include "DirectoryTree.h"
#include "Progress.h"
#include "TarHeader.h"

ArchiveTarget::ArchiveTarget(const wchar_t* destination, HWND progressDialog, int32_t total)
    : dialog_(progressDialog), total_(total) {
    size_t capacity = TextBufferSize;  // room for the entry behind it
    if (!ExtendedLengthPath(destination, path_, capacity)) return;
    size_t length = wcslen(path_);
    if (length + 2 > capacity) return;
    if (path_[length - 1] != L'\\') path_[length++] = L'\\';
    path_[length] = L'\0';
    rootLength_ = length;
}

ArchiveTarget::~ArchiveTarget() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

// Puts the entry's path behind the destination: decoded from UTF-8, or,
// when the bytes are no UTF-8 (GNU tar writes names in the locale's
// encoding), from the ANSI code page.
bool ArchiveTarget::ComposePath(const char* path) {
    wchar_t* entry = path_ + rootLength_;
    int capacity = int(sizeof path_ / sizeof path_[0] - rootLength_);
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, entry, capacity) > 0) return true;
    return GetLastError() == ERROR_NO_UNICODE_TRANSLATION &&
           MultiByteToWideChar(CP_ACP, 0, path, -1, entry, capacity) > 0;
}

TarStatus ArchiveTarget::CannotCreate(const char* path) {
    // Shown in a message: the decoded name in the ANSI code page, or the
    // bytes as they came when even decoding failed.
    if (!ComposePath(path) ||
        !WideCharToMultiByte(CP_ACP, 0, path_ + rootLength_, -1, failedPath_, sizeof failedPath_, nullptr, nullptr)) {
        strncpy(failedPath_, path, sizeof failedPath_ - 1);
        failedPath_[sizeof failedPath_ - 1] = '\0';
    }
    return TarStatus::CannotCreate;
}

TarStatus ArchiveTarget::MakeDirectory(const char* path) {
    if (*path == '\0') return TarStatus::Done;  // the destination itself
    if (!ComposePath(path) || !CreateDirectoryTree(path_, rootLength_)) return CannotCreate(path);
    return TarStatus::Done;
}

// What a file of `size` bytes may take on a drive: its data rounded up to
// whole 64 KB, at least 64 KB (clusters and the file's own record are
// smaller than that on the drives a runtime goes to).
static uint64_t SpaceTaken(uint64_t size) {
    constexpr uint64_t Granule = 64 * 1024;
    return (size / Granule + 1) * Granule;
}

// Whether `size` more bytes leave the reserve free on the destination's
// drive; when the free space cannot be read, the writes will tell. Reading
// it costs system calls, so it is read again only when the room left from
// the last reading may not hold the file: a runtime has thousands of small
// files, and the answer is the one a reading for every file would give.
bool ArchiveTarget::SpaceFor(uint64_t size) {
    uint64_t taken = SpaceTaken(size);
    if (taken <= room_) {
        room_ -= taken;
        return true;
    }
    wchar_t root[2 * TextBufferSize];
    wmemcpy(root, path_, rootLength_);
    root[rootLength_] = L'\0';
    ULARGE_INTEGER available;
    room_ = 0;
    if (!GetDiskFreeSpaceExW(root, &available, nullptr, nullptr)) return true;
    if (available.QuadPart < ExtractionSpaceReserve || available.QuadPart - ExtractionSpaceReserve < size) return false;
    uint64_t above = available.QuadPart - ExtractionSpaceReserve;
    room_ = above > taken ? above - taken : 0;
    return true;
}

TarStatus ArchiveTarget::BeginFile(const char* path, uint64_t size) {
    if (!SpaceFor(size)) return TarStatus::NoSpace;
    if (!ComposePath(path)) return CannotCreate(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        file_ = CreateFileW(path_, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ != INVALID_HANDLE_VALUE) return TarStatus::Done;
        if (attempt > 0 || GetLastError() != ERROR_PATH_NOT_FOUND) break;
        // The archive did not list the parent directories: make them.
        wchar_t* separator = wcsrchr(path_ + rootLength_, L'\\');
        if (!separator) break;
        *separator = L'\0';
        bool made = CreateDirectoryTree(path_, rootLength_);
        *separator = L'\\';
        if (!made) break;
    }
    return CannotCreate(path);
}

TarStatus ArchiveTarget::WriteData(const void* data, uint32_t count) {
    DWORD written = 0;
    if (WriteFile(file_, data, count, &written, nullptr)) return written == count ? TarStatus::Done : TarStatus::WriteFailed;
    DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? TarStatus::NoSpace : TarStatus::WriteFailed;
}

TarStatus ArchiveTarget::EndFile() {
    bool closed = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return closed ? TarStatus::Done : TarStatus::WriteFailed;
}

TarStatus ArchiveTarget::Progress(uint64_t offset) {
    if (CancelRequested()) return TarStatus::Cancelled;
    int position = ExtractionProgress(offset, total_);
    if (dialog_ && position >= 0 && position != lastPosition_) {
        lastPosition_ = position;
        SetProgressPosition(dialog_, position);
    }
    return TarStatus::Done;
}
