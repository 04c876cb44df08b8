// TarHeader.cpp — header fields, octal numbers and entry name checks of the
// runtime archive reader.
#include "TarHeader.h"

#include <cstring>

// Field offsets inside a header block.
constexpr int SizeOffset = 124;
constexpr int SizeWidth = 12;
constexpr int TypeFlagOffset = 156;
constexpr int MagicOffset = 257;

int32_t ParseOctalField(const char* field, int width) {
    // Unsigned arithmetic: an overlong or garbled field wraps instead of
    // overflowing a signed number.
    uint32_t value = 0;
    bool leading = true;
    for (int i = 0; i < width; ++i) {
        char c = field[i];
        if (c == '\0') break;
        if (leading && (c == ' ' || c == '0')) continue;
        if (c == ' ') break;
        leading = false;
        value = value * 8 + uint32_t(c - '0');
    }
    return int32_t(value);
}

bool IsTarHeader(const char* header) { return memcmp(header + MagicOffset, "ustar", 5) == 0; }

void ReadTarEntry(const char* header, TarEntry& entry) {
    entry.size = ParseOctalField(header + SizeOffset, SizeWidth);
    char type = header[TypeFlagOffset];
    entry.kind = type == '5' ? TarEntryKind::Directory : type == '0' ? TarEntryKind::RegularFile : TarEntryKind::Other;
    int length = 0;
    while (length < TarNameWidth && header[length] != '\0') {
        entry.path[length] = header[length] == '/' ? '\\' : header[length];
        ++length;
    }
    entry.path[length] = '\0';
    entry.pathIsSafe = IsSafeEntryPath(entry.path);
}

// A component of dots and blanks with at least two dots: "..", and the forms
// that Windows trims to it.
static bool IsParentComponent(const char* component, size_t length) {
    int dots = 0;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] == '.') ++dots;
        else if (component[i] != ' ') return false;
    }
    return dots >= 2;
}

bool IsSafeEntryPath(const char* path) {
    if (path[0] == '\0' || path[0] == '\\' || strchr(path, ':')) return false;
    for (const char* component = path;;) {
        size_t length = strcspn(component, "\\");
        if (IsParentComponent(component, length)) return false;
        if (component[length] == '\0') return true;
        component += length + 1;
    }
}

int32_t TarPaddingSize(int32_t size) {
    int32_t rest = size % TarBlockSize;
    return rest > 0 ? TarBlockSize - rest : 0;
}

int ExtractionProgress(long offset, int32_t total) {
    if (total <= 0 || offset < 0) return -1;
    int64_t position = int64_t(offset) * 100 / total;
    return position > 100 ? 100 : int(position);
}
