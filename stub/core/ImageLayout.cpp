// ImageLayout.cpp — the section table walk behind LastSectionRawEnd.
#include "ImageLayout.h"

namespace {

constexpr size_t NewHeaderPointerOffset = 0x3C;  // e_lfanew in the DOS header
constexpr size_t FileHeaderSize = 20;
constexpr size_t SectionHeaderSize = 40;
constexpr size_t SectionRawSizeOffset = 16;
constexpr size_t SectionRawPointerOffset = 20;

uint32_t Read16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Read32(const uint8_t* p) { return Read16(p) | Read16(p + 2) << 16; }

}  // namespace

bool LastSectionRawEnd(const uint8_t* headers, size_t length, uint64_t* offset) {
    if (length < NewHeaderPointerOffset + 4 || headers[0] != 'M' || headers[1] != 'Z') return false;
    uint64_t peHeader = Read32(headers + NewHeaderPointerOffset);
    if (peHeader + 4 + FileHeaderSize > length) return false;
    const uint8_t* signature = headers + peHeader;
    if (signature[0] != 'P' || signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) return false;
    const uint8_t* fileHeader = signature + 4;
    uint32_t sectionCount = Read16(fileHeader + 2);
    uint32_t optionalHeaderSize = Read16(fileHeader + 16);
    if (sectionCount == 0) return false;
    uint64_t lastSection = peHeader + 4 + FileHeaderSize + optionalHeaderSize +
                           uint64_t(sectionCount - 1) * SectionHeaderSize;
    if (lastSection + SectionHeaderSize > length) return false;
    const uint8_t* section = headers + lastSection;
    *offset = uint64_t(Read32(section + SectionRawPointerOffset)) + Read32(section + SectionRawSizeOffset);
    return true;
}
