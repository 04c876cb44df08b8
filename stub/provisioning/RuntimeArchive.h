// RuntimeArchive.h — unpacking the runtime archive "jre.tar.gz" of the
// payload directory into "jre" beside it, expanding its packed jars, and
// loading the result as the runtime; the progress bar follows the extraction
// and then a paced animation while the jars are expanded.
//
// The archive is a gzip-compressed tar stream as tools write it (see
// TarExtraction.h for what is understood). It is unpacked into a directory
// of its own that becomes "jre" only when the whole archive was read, so a
// half-unpacked runtime is never taken for a whole one; whatever the
// outcome, the archive and any partial directory are removed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "RuntimeFiles.h"
#include "TarExtraction.h"

// Exit code when the unpacked runtime cannot be used.
constexpr int UnusableRuntimeExitCode = 83;

// The whole step of the launch sequence on the absolute paths of `files`:
// the archive is unpacked into the runtime directory and deleted, its
// packed jars are expanded when Key::PackedJars is set (animating the bar
// of `progressDialog`, when given), and the directory is loaded as the
// runtime. Returns only when that succeeded. Otherwise the process ends:
// - an archive that is damaged, cut short or unreadable, or a runtime that
//   fails: the runtime search's messages, UnusableRuntimeExitCode;
// - a runtime whose jars could not all be expanded: it is removed and
//   reported like a missing one, UnusableRuntimeExitCode;
// - an archive that expands far beyond Key::ArchiveSize, or a drive that
//   runs low on space: a message saying so, UnusableRuntimeExitCode;
// - an entry that cannot be created: "Could not write file %s\n", exit 1;
// - the user's Cancel (see Cancellation.h), during the unpacking or the
//   expansion: what the step made is removed and the worker thread ends.
void ExtractRuntime(HWND progressDialog, const RuntimeFiles& files);

// Unpacks the gzip-compressed tar `archive` into the existing directory
// `destination` (full paths). The bar of `progressDialog` (when given)
// moves over 0..100 with the offset in the tar stream against
// `declaredSize` (Key::ArchiveSize; 0 or less leaves the bar alone), which
// also bounds the expansion (ExpansionLimit). On CannotCreate,
// `failedPath` (TextBufferSize bytes) names the entry.
TarStatus ExtractArchive(const wchar_t* archive, const wchar_t* destination, HWND progressDialog,
                         int32_t declaredSize, char* failedPath);

// Thread procedure run while packed jars are expanded: moves the bar of the
// dialog from 110 to 200 in steps of 10, one step every
// Progress.extractionTime / 10 ms, and ends as soon as
// Progress.jarsExpanded is set.
DWORD WINAPI AnimateJarExpansion(LPVOID progressDialog);
