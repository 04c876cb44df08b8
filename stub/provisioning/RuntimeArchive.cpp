// RuntimeArchive.cpp — the gzip stream on zlib's read side (gzclose_r
// rather than gzclose, which would link the whole deflate side) feeding the
// tar loop, the runtime step of the launch sequence with its outcomes, and
// the pack-expansion animation.
#include "RuntimeArchive.h"

#include <zlib.h>

#include <cstring>
#include <cwchar>

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

static const char* const RuntimeDirectoryName = "jre";
// Beside the runtime directory's path: where the archive is unpacked until
// it has been read whole.
static const wchar_t* const StagingSuffix = L".partial";

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

// The full paths of the step, the staging and the runtime directory also
// in extended-length form.
struct RuntimePaths {
    wchar_t archive[TextBufferSize];
    wchar_t staging[TextBufferSize];
    wchar_t home[TextBufferSize];
    wchar_t homeExtended[TextBufferSize];
};

bool WidePath(const char* path, wchar_t* out) {
    return path[0] && MultiByteToWideChar(CP_ACP, 0, path, -1, out, TextBufferSize) > 0;
}

bool MakeRuntimePaths(const RuntimeFiles& files, RuntimePaths& paths) {
    wchar_t staging[TextBufferSize];
    if (!WidePath(files.archive, paths.archive) || !WidePath(files.runtime, paths.home)) return false;
    size_t length = wcslen(paths.home);
    if (length + wcslen(StagingSuffix) >= TextBufferSize) return false;
    wcscpy(staging, paths.home);
    wcscpy(staging + length, StagingSuffix);
    return ExtendedLengthPath(staging, paths.staging, TextBufferSize) &&
           ExtendedLengthPath(paths.home, paths.homeExtended, TextBufferSize);
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

// Sleeps `milliseconds` in short slices; false as soon as the jars are
// expanded, so the animation ends right after the expansion does.
static bool SleepUnlessExpanded(DWORD milliseconds) {
    constexpr DWORD Slice = 20;
    for (DWORD slept = 0; slept < milliseconds; slept += Slice) {
        if (Progress.jarsExpanded) return false;
        Sleep(milliseconds - slept < Slice ? milliseconds - slept : Slice);
    }
    return !Progress.jarsExpanded;
}

DWORD WINAPI AnimateJarExpansion(LPVOID progressDialog) {
    HWND dialog = static_cast<HWND>(progressDialog);
    for (int position = 110; position <= 200 && SleepUnlessExpanded(Progress.extractionTime / 10); position += 10)
        SetProgressPosition(dialog, position);
    return 0;
}

// Expands the packed jars when Key::PackedJars says there are any, with
// the bar animated meanwhile; true when the runtime's jars are whole.
static bool ExpandRuntimeJars(HWND dialog, const char* runtime) {
    if (ConfigInt(Key::PackedJars) == 0) return true;
    HANDLE animation = dialog ? StartRequiredThread(AnimateJarExpansion, dialog, THREAD_PRIORITY_ABOVE_NORMAL) : nullptr;
    bool whole = ExpandPackedJars(runtime);
    Progress.jarsExpanded = true;
    // The animation has ended before anything else moves the bar: the bar
    // has one writer at a time.
    if (animation) {
        WaitForSingleObject(animation, INFINITE);
        CloseHandle(animation);
    }
    return whole;
}

void ExtractRuntime(HWND dialog, const RuntimeFiles& files) {
    DWORD start = GetTickCount();
    BeginCancellableStep();
    RuntimePaths paths;
    char failedPath[TextBufferSize] = "";
    TarStatus status = TarStatus::Damaged;
    if (MakeRuntimePaths(files, paths)) {
        status = UnpackIntoHome(paths, dialog, failedPath);
        DeleteFileW(paths.archive);
    }
    if (status == TarStatus::Cancelled) EndCancelledStep();
    Progress.extractionTime = GetTickCount() - start;
    // A runtime with jars missing (a tool that failed, or was ended by
    // Cancel) is never checked as if it were whole: it is removed, and the
    // check reports it like any missing runtime.
    if (status == TarStatus::Done && !ExpandRuntimeJars(dialog, files.runtime)) {
        RemoveTree(paths.homeExtended);
        if (CancelRequested()) EndCancelledStep();
    }
    EndCancellableStep();
    EndFailedExtraction(status, failedPath);
    // A damaged archive left no "jre": the check reports the missing runtime.
    if (!LoadRuntimeHome(files.runtime)) ExitLauncher(UnusableRuntimeExitCode);
}
