// PayloadExtraction.h — writing the payload files stored behind the
// configuration block into a fresh directory under the user's temporary
// directory, at every start.
//
// Payload layout from PayloadOffset on: records of a 32-bit little-endian
// signed length L and L content bytes, each XOR PayloadKey. Key::PayloadCount is the
// number of records to extract, Key::PayloadNames their names (';'-separated, empty
// names skipped). The directory is recorded with this process as soon as it
// exists (PayloadFolders.h), so that a later start removes it once this
// process has ended. Every file is registered for deferred deletion before it
// is written, the directory after all files.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

// The byte every payload content byte is combined with.
constexpr unsigned char PayloadKey = 0x0B;
// Bytes read and written per step: the payload is never held whole. Each
// read and write costs a system call, so the chunk is large enough that a
// typical small file takes one of each; it lives on the stack (the threads
// have 2 MB), so no allocation can fail.
constexpr uint32_t PayloadChunkSize = 64 * 1024;

// Extracts the payload into a new directory whose path is written to `out`
// (empty when Key::PayloadCount is 0, and then nothing is created). False when a
// record's content ends early (or the executable cannot be reopened); a
// directory, file or write failure ends the process with Message::InternalError
// and code 7, 11 or 13.
bool ExtractPayload(char* out, size_t capacity);

// The directory the launch sequence extracted the payload to; empty without
// payload. A buffer of TextBufferSize bytes, written by the launch sequence
// before the VM starts and read by the VM start.
extern char* const PayloadDirectory;

// Extracts the record at the executable's current position to `path`: no
// file for a length of 0 or less. False when the content ends early.
bool ExtractPayloadFile(HANDLE executable, const char* path);

// Copies `count` bytes from `source` to `target` in chunks of
// PayloadChunkSize, each byte XOR PayloadKey when `unscramble` is set. False
// when the source ends early; a failed write ends the process (Message::InternalError,
// code 13).
bool CopyPayloadBytes(HANDLE source, HANDLE target, uint32_t count, bool unscramble);

// The temporary file name "…\ksl<hex>.tmp" of a new unique file (deleted
// again at once) followed by "_dir" and a random decimal number (0..32767,
// the generator seeded with the time in seconds). False when no temporary
// name can be had or the result does not fit.
bool MakePayloadDirectoryName(char* out, size_t capacity);

// The launch sequence's answer to a failed extraction: with the progress
// dialog, the message box of Text::InstallationCorrupted (caption Text::Caption) owned by it; then
// exit code 1 through EndProcess, without recording the
// deletion lists. Quiet starts (no dialog) end silently.
[[noreturn]] void EndWithCorruptedInstallation(HWND progressDialog);
