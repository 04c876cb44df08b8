// RuntimeArchive.h — unpacking the runtime archive "jre.tar.gz" of the
// launcher's temporary directory into "jre", expanding its packed jars, and
// loading the result as the runtime; the progress bar follows the extraction
// and then a paced animation while the jars are expanded.
//
// The reader understands the tar subset of TarHeader.h. Entries whose names
// would leave the destination (absolute, with a drive letter, or with a ".."
// component) are passed over with their data; a truncated archive or a short
// header read ends the extraction as failed, which leaves the verdict to the
// runtime check.
#pragma once

#include <windows.h>
#include <zlib.h>

#include <cstdint>

// Copied per read while a file is written.
constexpr unsigned RuntimeArchiveChunkSize = 32768;
// The shortest time between two progress updates within a file.
constexpr DWORD RuntimeArchiveUpdateMilliseconds = 200;
// Exit code when the unpacked runtime cannot be used.
constexpr int UnusableRuntimeExitCode = 83;

// The whole step of the launch sequence, run in the current directory:
// "jre.tar.gz" is unpacked into "jre" and deleted, its packed jars are
// expanded when Key::PackedJars is set (animating the bar of `progressDialog`, when
// given), and "jre" is loaded as the runtime. Returns only when that
// succeeded; otherwise the runtime search's messages have been shown and the
// process ends with UnusableRuntimeExitCode.
void ExtractRuntime(HWND progressDialog);

// Unpacks `archive` into the existing directory `destination`, which is
// current meanwhile. The bar of `progressDialog` (when given) moves over
// 0..100 with the offset in the tar stream against `total` (Key::ArchiveSize; 0 or
// less leaves the bar alone). True when the archive's end was reached
// (its zero blocks, or the end of the stream at a block boundary); false
// when it cannot be opened, is damaged or truncated, or a file's data could
// not be written completely. A file that cannot be created ends the process
// ("Could not write file %s\n", exit code 1).
bool ExtractTarGz(const char* archive, const char* destination, HWND progressDialog, int32_t total);

// Copies `size` bytes of `stream` into the new file `path`, in chunks of at
// most RuntimeArchiveChunkSize. False when the stream ends early or fails,
// or the file cannot be written completely; a file that cannot be created
// ends the process ("Could not write file %s\n", exit code 1).
bool WriteEntryFile(gzFile stream, const char* path, int32_t size, HWND progressDialog, int32_t total);

// Thread procedure run while packed jars are expanded: moves the bar of the
// dialog from 110 to 200 in steps of 10, one step every Progress.extractionTime / 10
// ms, and stops early once Progress.jarsExpanded is set.
DWORD WINAPI AnimateJarExpansion(LPVOID progressDialog);
