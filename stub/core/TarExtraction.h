// TarExtraction.h — the loop of the runtime archive reader: entry after
// entry from a tar stream into a directory, through a small read interface
// (the gzip stream on Windows, memory in tests) and a small create interface
// (files and directories on Windows, a record in tests). No Win32 calls.
//
// Understood: regular files and directories, names longer than the name
// field in all three forms tools write them (the ustar prefix, a GNU
// long-name entry, a pax "path" record), pax "size" records. Links and
// every other type are passed over with their data, as are names that
// MakeEntryPath refuses. Sizes and offsets count in 64 bits.
#pragma once

#include <cstdint>

// Where the tar stream comes from.
class TarSource {
public:
    virtual ~TarSource() = default;
    // Reads up to `count` bytes; returns how many were read, 0 at a proper
    // end of the stream, negative when the stream is damaged or cut short.
    virtual int32_t Read(void* buffer, uint32_t count) = 0;
};

enum class TarStatus {
    Done,          // the archive's end was reached; everything was created
    Damaged,       // unreadable, cut short, a bad header or record
    CannotCreate,  // a directory or file could not be created (the target knows which)
    WriteFailed,   // a file's data could not be written
    TooLarge,      // the archive spans more than the limit
    NoSpace,       // the target ran low on free space
    Cancelled,     // the target asked to stop
};

// Where entries go. Paths come from MakeEntryPath: relative to the
// destination, components joined by '\', UTF-8 as stored in the archive.
// Parent directories an archive does not list are the target's to create.
class TarTarget {
public:
    virtual ~TarTarget() = default;
    // Creates the directory (an existing one is fine); "" is the destination.
    virtual TarStatus MakeDirectory(const char* path) = 0;
    // Creates (or replaces) the file that the next WriteData calls fill; its
    // data will be `size` bytes. After it succeeded, EndFile follows once,
    // also when the extraction stops inside the file.
    virtual TarStatus BeginFile(const char* path, uint64_t size) = 0;
    virtual TarStatus WriteData(const void* data, uint32_t count) = 0;
    virtual TarStatus EndFile() = 0;
    // Called with the offset in the tar stream before every entry's data and
    // after every chunk of it; anything but Done stops the extraction.
    virtual TarStatus Progress(uint64_t offset) = 0;
};

// Entry data passes in chunks of at most this many bytes.
constexpr uint32_t TarChunkSize = 32768;
// The longest name taken from a long-name entry or a pax record; an entry
// with a longer name is passed over.
constexpr uint32_t TarEntryNameLimit = 4095;

// Unpacks the tar stream of `source` into `target` up to the archive's end:
// its first zero block, or the end of the stream at a block boundary. After
// the zero block the rest of the stream is read (at most TarTrailLimit
// bytes) so that a damaged or cut stream shows there too. With a non-zero
// `limit`, an archive that would span more stream bytes stops as TooLarge
// before the entry that passes it is created.
TarStatus ExtractTar(TarSource& source, TarTarget& target, uint64_t limit);

// How far behind the end blocks the stream is read (tools pad archives to
// whole records of up to 10 KiB, some more).
constexpr uint32_t TarTrailLimit = 1024 * 1024;

// The limit ExtractTar gets for an archive whose uncompressed size is
// declared as `declaredSize`: twice that plus 64 MiB, a wide margin for a
// runtime that grew since the size was written down; 0 (none) when no size
// is declared (0 or negative).
uint64_t ExpansionLimit(int32_t declaredSize);
