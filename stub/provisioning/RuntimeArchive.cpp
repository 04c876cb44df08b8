// RuntimeArchive.cpp — the gzip stream on zlib's read side (gzclose_r
// rather than gzclose, which would link the whole deflate side) feeding the
// tar loop, the runtime step of the launch sequence with its outcomes, and
// the pack-expansion animation.
#include "RuntimeArchive.h"

#include <zlib.h>

#include <cstring>

#include "ArchiveTarget.h"
#include "Cancellation.h"
#include "ConfigBlock.h"
#include "ConfigKeys.h"
#include "ConfiguredErrors.h"
#include "DirectoryTree.h"
#include "PackExpansion.h"
#include "Progress.h"
#include "RuntimeLoader.h"
#include "TextFormat.h"

static const wchar_t* const ArchiveName = L"jre.tar.gz";
static const char* const RuntimeDirectoryName = "jre";
// Where the archive is unpacked until it has been read whole.
static const wchar_t* const StagingDirectoryName = L"jre.partial";

namespace {

// The uncompressed stream. A stream that zlib finds cut short or damaged
// (a wrong check sum at its end included) reads as damaged, not as ended.
class GzipSource : public TarSource {
public:
    explicit GzipSource(gzFile stream) : stream_(stream) {}
    int32_t Read(void* buffer, uint32_t count) override {
        int got = gzread(stream_, buffer, count);
        if (got > 0) return got;
        int error = Z_OK;
        gzerror(stream_, &error);
        return got < 0 || error != Z_OK ? -1 : 0;
    }

private:
    gzFile stream_;
};

// The full paths of the step, the staging directory in extended-length form.
struct RuntimePaths {
    wchar_t archive[TextBufferSize];
    wchar_t staging[TextBufferSize];
    wchar_t home[TextBufferSize];
};

bool FullPath(const wchar_t* name, wchar_t* out) {
    DWORD length = GetFullPathNameW(name, TextBufferSize, out, nullptr);
    return length > 0 && length < TextBufferSize;
}

bool MakeRuntimePaths(RuntimePaths& paths) {
    wchar_t staging[TextBufferSize];
    return FullPath(ArchiveName, paths.archive) && FullPath(L"jre", paths.home) &&
           FullPath(StagingDirectoryName, staging) && ExtendedLengthPath(staging, paths.staging, TextBufferSize);
}

// Unpacks into a fresh staging directory and makes it "jre" when the whole
// archive was read; nothing of it is left otherwise.
TarStatus UnpackIntoHome(const RuntimePaths& paths, HWND dialog, char* failedPath) {
    if (!RemoveTree(paths.staging) || !CreateDirectoryW(paths.staging, nullptr)) return TarStatus::Damaged;
    TarStatus status = ExtractArchive(paths.archive, paths.staging, dialog, ConfigInt(Key::ArchiveSize), failedPath);
    if (status == TarStatus::Done && !MoveFileW(paths.staging, paths.home)) {
        strcpy(failedPath, RuntimeDirectoryName);
        status = TarStatus::CannotCreate;
    }
    if (status != TarStatus::Done) RemoveTree(paths.staging);
    return status;
}

// The end of a start whose archive could not be unpacked, apart from a
// damaged one, whose missing runtime the runtime check reports.
void EndFailedExtraction(TarStatus status, const char* failedPath) {
    char text[TextBufferSize];
    switch (status) {
    case TarStatus::CannotCreate:
        FormatText(text, sizeof text, "Could not write file %s\n", failedPath);
        FatalInternalError(text);
    case TarStatus::TooLarge:
        ShowFixedError("The runtime archive expands far beyond its declared size; it was not unpacked.");
        ExitLauncher(UnusableRuntimeExitCode);
    case TarStatus::NoSpace:
        ShowFixedError("There is not enough free disk space to unpack the runtime archive.");
        ExitLauncher(UnusableRuntimeExitCode);
    default:
        return;
    }
}

}  // namespace

TarStatus ExtractArchive(const wchar_t* archive, const wchar_t* destination, HWND dialog, int32_t declaredSize,
                         char* failedPath) {
    gzFile stream = gzopen_w(archive, "rb");
    if (!stream) return TarStatus::Damaged;
    GzipSource source(stream);
    ArchiveTarget target(destination, dialog, declaredSize);
    TarStatus status = target.Ready() ? ExtractTar(source, target, ExpansionLimit(declaredSize)) : TarStatus::Damaged;
    gzclose_r(stream);
    if (status == TarStatus::CannotCreate) strcpy(failedPath, target.FailedPath());
    return status;
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
    BeginCancellableStep();
    RuntimePaths paths;
    char failedPath[TextBufferSize] = "";
    TarStatus status = TarStatus::Damaged;
    if (MakeRuntimePaths(paths)) {
        status = UnpackIntoHome(paths, dialog, failedPath);
        DeleteFileW(paths.archive);
    }
    if (status == TarStatus::Cancelled) EndCancelledStep();
    EndCancellableStep();
    EndFailedExtraction(status, failedPath);
    Progress.extractionTime = GetTickCount() - start;
    if (status == TarStatus::Done && ConfigInt(Key::PackedJars) != 0) {
        if (dialog) StartProgressThread(AnimateJarExpansion, dialog);
        ExpandPackedJars(RuntimeDirectoryName);
        Progress.jarsExpanded = true;
    }
    // A damaged archive left no "jre": the check reports the missing runtime.
    char home[TextBufferSize];
    DWORD length = GetFullPathNameA(RuntimeDirectoryName, sizeof home, home, nullptr);
    if (length == 0 || length >= sizeof home || !LoadRuntimeHome(home))
        ExitLauncher(UnusableRuntimeExitCode);
}
