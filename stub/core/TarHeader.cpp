// TarHeader.cpp — checksum, octal fields, type and name of a header block.
#include "TarHeader.h"

#include <cstring>

// Field offsets inside a header block.
constexpr size_t SizeOffset = 124;
constexpr size_t SizeWidth = 12;
constexpr size_t ChecksumOffset = 148;
constexpr size_t ChecksumWidth = 8;
constexpr size_t TypeFlagOffset = 156;
constexpr size_t MagicOffset = 257;
constexpr size_t PrefixOffset = 345;

bool ParseOctalField(const char* field, size_t width, uint64_t* value) {
    size_t i = 0;
    while (i < width && field[i] == ' ') ++i;
    uint64_t number = 0;
    for (; i < width && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (number >> 60) return false;  // another digit would pass 63 bits
        number = number * 8 + uint64_t(field[i] - '0');
    }
    for (; i < width; ++i)
        if (field[i] != '\0' && field[i] != ' ') return false;
    *value = number;
    return true;
}

static bool IsZeroBlock(const unsigned char* block) {
    static const unsigned char zeros[TarBlockSize] = {};
    return memcmp(block, zeros, TarBlockSize) == 0;
}

// The stored checksum against the byte sum of the block with the checksum
// field counted as blanks, as unsigned or (as old tools wrote it) signed bytes.
static bool ChecksumMatches(const unsigned char* block) {
    uint64_t stored;
    if (!ParseOctalField(reinterpret_cast<const char*>(block) + ChecksumOffset, ChecksumWidth, &stored))
        return false;
    uint32_t unsignedSum = ChecksumWidth * ' ';
    int32_t signedSum = ChecksumWidth * ' ';
    for (size_t i = 0; i < TarBlockSize; ++i) {
        unsignedSum += block[i];
        signedSum += static_cast<signed char>(block[i]);
    }
    for (size_t i = ChecksumOffset; i < ChecksumOffset + ChecksumWidth; ++i) {
        unsignedSum -= block[i];
        signedSum -= static_cast<signed char>(block[i]);
    }
    return stored == unsignedSum || int64_t(stored) == signedSum;
}

static TarEntryKind KindOf(char typeFlag) {
    switch (typeFlag) {
    case '5': return TarEntryKind::Directory;
    case '0': return TarEntryKind::RegularFile;
    case 'L': return TarEntryKind::LongName;
    case 'K': return TarEntryKind::LongLinkName;
    case 'x': return TarEntryKind::ExtendedHeader;
    case 'g': return TarEntryKind::GlobalHeader;
    default: return TarEntryKind::Other;
    }
}

// Copies a field up to its first NUL or its width; returns the length.
static size_t CopyField(char* out, const unsigned char* field, size_t width) {
    size_t length = 0;
    while (length < width && field[length] != '\0') {
        out[length] = char(field[length]);
        ++length;
    }
    return length;
}

// The POSIX form keeps leading directories in the prefix field; the GNU form
// ("ustar " with a blank) uses those bytes for other fields.
static void JoinName(const unsigned char* block, char* name) {
    size_t length = 0;
    if (memcmp(block + MagicOffset, "ustar\0", 6) == 0) {
        length = CopyField(name, block + PrefixOffset, TarPrefixWidth);
        if (length > 0) name[length++] = '/';
    }
    length += CopyField(name + length, block, TarNameWidth);
    name[length] = '\0';
}

TarBlockKind ReadTarHeader(const unsigned char* block, TarHeaderFields& fields) {
    if (IsZeroBlock(block)) return TarBlockKind::EndOfArchive;
    if (!ChecksumMatches(block) || memcmp(block + MagicOffset, "ustar", 5) != 0) return TarBlockKind::Damaged;
    if (!ParseOctalField(reinterpret_cast<const char*>(block) + SizeOffset, SizeWidth, &fields.size))
        return TarBlockKind::Damaged;
    fields.kind = KindOf(char(block[TypeFlagOffset]));
    JoinName(block, fields.name);
    return TarBlockKind::Header;
}

uint32_t TarPaddingSize(uint64_t size) {
    uint32_t rest = uint32_t(size % TarBlockSize);
    return rest > 0 ? TarBlockSize - rest : 0;
}

int ExtractionProgress(uint64_t offset, int32_t total) {
    if (total <= 0) return -1;
    uint64_t position = offset / uint64_t(total) >= 1 ? 100 : offset * 100 / uint64_t(total);
    return int(position);
}
