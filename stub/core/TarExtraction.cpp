// TarExtraction.cpp — headers, long names, pax records and entry data of a
// tar stream, handed to the target.
#include "TarExtraction.h"

#include <cstring>

#include "TarEntryPath.h"
#include "TarHeader.h"

namespace {

// The source with exact reads and the offset reached in the stream.
class TarStream {
public:
    explicit TarStream(TarSource& source) : source_(source) {}

    // Reads until `count` bytes are there or the stream ends; how many were
    // read, or -1 when the stream is damaged.
    int64_t ReadUpTo(void* buffer, uint32_t count) {
        unsigned char* out = static_cast<unsigned char*>(buffer);
        uint32_t got = 0;
        while (got < count) {
            int32_t n = source_.Read(out + got, count - got);
            if (n < 0 || uint32_t(n) > count - got) return -1;
            if (n == 0) break;
            got += uint32_t(n);
        }
        offset_ += got;
        return got;
    }
    bool ReadExactly(void* buffer, uint32_t count) { return ReadUpTo(buffer, count) == int64_t(count); }
    uint64_t Offset() const { return offset_; }

private:
    TarSource& source_;
    uint64_t offset_ = 0;
};

enum class NameSource { Header, Given, Unusable };

// What long-name entries and pax records said about the next entry.
struct PendingEntry {
    NameSource nameSource = NameSource::Header;
    char name[TarEntryNameLimit + 1];
    bool sizeGiven = false;
    uint64_t size = 0;

    void Clear() {
        nameSource = NameSource::Header;
        sizeGiven = false;
    }
};

struct Extraction {
    Extraction(TarSource& source, TarTarget& target) : stream(source), target(target) {}
    TarStream stream;
    TarTarget& target;
    PendingEntry pending;
    char path[TarEntryNameLimit + 1];
    unsigned char chunk[TarChunkSize];
};

// Moves `count` bytes of entry data on: into the open file when `writing`,
// otherwise nowhere.
TarStatus PassData(Extraction& x, uint64_t count, bool writing) {
    while (count > 0) {
        uint32_t n = count < TarChunkSize ? uint32_t(count) : TarChunkSize;
        if (!x.stream.ReadExactly(x.chunk, n)) return TarStatus::Damaged;
        count -= n;
        TarStatus status = writing ? x.target.WriteData(x.chunk, n) : TarStatus::Done;
        if (status == TarStatus::Done) status = x.target.Progress(x.stream.Offset());
        if (status != TarStatus::Done) return status;
    }
    return TarStatus::Done;
}

// Reads `length` bytes of a name (a long-name entry's data, a pax path) as
// the next entry's name, which ends at its first NUL. A name beyond the
// limit is passed over and makes the next entry unusable.
TarStatus ReadPendingName(Extraction& x, uint64_t length) {
    if (length > TarEntryNameLimit) {
        x.pending.nameSource = NameSource::Unusable;
        return PassData(x, length, false);
    }
    if (!x.stream.ReadExactly(x.pending.name, uint32_t(length))) return TarStatus::Damaged;
    x.pending.name[length] = '\0';
    x.pending.nameSource = length > 0 ? NameSource::Given : NameSource::Header;
    return TarStatus::Done;
}

// The decimal value of a pax "size" record.
TarStatus ReadPendingSize(Extraction& x, uint64_t length) {
    char digits[19];
    if (length == 0 || length > sizeof digits || !x.stream.ReadExactly(digits, uint32_t(length)))
        return TarStatus::Damaged;
    uint64_t size = 0;
    for (uint64_t i = 0; i < length; ++i) {
        if (digits[i] < '0' || digits[i] > '9') return TarStatus::Damaged;
        size = size * 10 + uint64_t(digits[i] - '0');
    }
    x.pending.size = size;
    x.pending.sizeGiven = true;
    return TarStatus::Done;
}

// Reads the decimal length and the blank that open a pax record; false
// when they are malformed or run past the `left` bytes of the header.
bool ReadRecordLength(Extraction& x, uint64_t left, uint64_t& length, uint64_t& used) {
    length = used = 0;
    for (char c;;) {
        if (used == left || !x.stream.ReadExactly(&c, 1)) return false;
        ++used;
        if (c == ' ' && used > 1) return true;
        if (c < '0' || c > '9' || used > 18) return false;
        length = length * 10 + uint64_t(c - '0');
    }
}

// One record "<length> <keyword>=<value>\n" of a pax extended header,
// `left` bytes of which remain; path and size are kept for the next entry.
TarStatus ReadPaxRecord(Extraction& x, uint64_t& left) {
    uint64_t length, used;
    if (!ReadRecordLength(x, left, length, used) || length > left || length < used + 3) return TarStatus::Damaged;
    left -= length;
    uint64_t rest = length - used;  // "<keyword>=<value>\n"
    // Only the first bytes of a keyword are kept: longer ones are not used here.
    char keyword[4];
    uint64_t keywordLength = 0;
    for (char c;; ++keywordLength) {
        if (rest == 1 || !x.stream.ReadExactly(&c, 1)) return TarStatus::Damaged;
        --rest;
        if (c == '=') break;
        if (keywordLength < sizeof keyword) keyword[keywordLength] = c;
    }
    uint64_t valueLength = rest - 1;
    TarStatus status;
    if (keywordLength == 4 && memcmp(keyword, "path", 4) == 0) status = ReadPendingName(x, valueLength);
    else if (keywordLength == 4 && memcmp(keyword, "size", 4) == 0) status = ReadPendingSize(x, valueLength);
    else status = PassData(x, valueLength, false);
    char newline;
    if (status == TarStatus::Done && (!x.stream.ReadExactly(&newline, 1) || newline != '\n'))
        status = TarStatus::Damaged;
    return status;
}

TarStatus ReadPaxHeader(Extraction& x, uint64_t size) {
    TarStatus status = TarStatus::Done;
    while (status == TarStatus::Done && size > 0) status = ReadPaxRecord(x, size);
    return status;
}

TarStatus ExtractFile(Extraction& x, uint64_t size) {
    TarStatus status = x.target.BeginFile(x.path, size);
    if (status != TarStatus::Done) return status;
    status = x.target.Progress(x.stream.Offset());
    if (status == TarStatus::Done) status = PassData(x, size, true);
    TarStatus closed = x.target.EndFile();
    return status != TarStatus::Done ? status : closed;
}

// A directory, a file or an entry that is passed over, named by the header
// or by what came before it.
TarStatus ExtractMember(Extraction& x, const TarHeaderFields& fields, uint64_t size) {
    const char* name = x.pending.nameSource == NameSource::Given ? x.pending.name : fields.name;
    bool usable = x.pending.nameSource != NameSource::Unusable && MakeEntryPath(name, x.path, sizeof x.path);
    if (usable && fields.kind == TarEntryKind::Directory) {
        TarStatus status = x.target.MakeDirectory(x.path);
        return status != TarStatus::Done ? status : PassData(x, size, false);
    }
    if (usable && fields.kind == TarEntryKind::RegularFile && x.path[0] != '\0') return ExtractFile(x, size);
    return PassData(x, size, false);
}

// Entries that describe the next one rather than being one.
bool DescribesNextEntry(TarEntryKind kind) {
    return kind == TarEntryKind::LongName || kind == TarEntryKind::LongLinkName ||
           kind == TarEntryKind::ExtendedHeader || kind == TarEntryKind::GlobalHeader;
}

TarStatus ExtractEntry(Extraction& x, const TarHeaderFields& fields, uint64_t limit) {
    bool describesNext = DescribesNextEntry(fields.kind);
    uint64_t size = !describesNext && x.pending.sizeGiven ? x.pending.size : fields.size;
    uint64_t offset = x.stream.Offset();
    if (limit != 0 && (offset > limit || size > limit - offset)) return TarStatus::TooLarge;
    TarStatus status;
    switch (fields.kind) {
    case TarEntryKind::LongName: status = ReadPendingName(x, size); break;
    case TarEntryKind::ExtendedHeader: status = ReadPaxHeader(x, size); break;
    case TarEntryKind::LongLinkName:
    case TarEntryKind::GlobalHeader: status = PassData(x, size, false); break;
    default:
        status = ExtractMember(x, fields, size);
        x.pending.Clear();
    }
    if (status != TarStatus::Done) return status;
    char padding[TarBlockSize];
    return x.stream.ReadExactly(padding, TarPaddingSize(size)) ? TarStatus::Done : TarStatus::Damaged;
}

// Reads on behind the end blocks, so that a stream that is damaged or cut
// short after them is not taken for a whole one.
TarStatus ReadTrail(Extraction& x) {
    for (uint32_t read = 0; read < TarTrailLimit; read += TarChunkSize) {
        int64_t got = x.stream.ReadUpTo(x.chunk, TarChunkSize);
        if (got < 0) return TarStatus::Damaged;
        if (got < int64_t(TarChunkSize)) break;
    }
    return TarStatus::Done;
}

}  // namespace

TarStatus ExtractTar(TarSource& source, TarTarget& target, uint64_t limit) {
    Extraction x(source, target);
    for (;;) {
        unsigned char block[TarBlockSize];
        int64_t got = x.stream.ReadUpTo(block, TarBlockSize);
        // The stream may end at a block boundary without end blocks, but an
        // empty stream is no archive.
        if (got == 0) return x.stream.Offset() > 0 ? TarStatus::Done : TarStatus::Damaged;
        if (got != int64_t(TarBlockSize)) return TarStatus::Damaged;
        TarHeaderFields fields;
        TarBlockKind kind = ReadTarHeader(block, fields);
        if (kind == TarBlockKind::EndOfArchive) return ReadTrail(x);
        if (kind == TarBlockKind::Damaged) return TarStatus::Damaged;
        TarStatus status = ExtractEntry(x, fields, limit);
        if (status != TarStatus::Done) return status;
    }
}

uint64_t ExpansionLimit(int32_t declaredSize) {
    constexpr uint64_t Margin = 64ull * 1024 * 1024;
    return declaredSize > 0 ? 2 * uint64_t(declaredSize) + Margin : 0;
}
