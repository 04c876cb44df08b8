// ImageLayout.cpp — the file header behind the DOS header and the PE
// signature; the section table walk behind LastSectionRawEnd, and the
// machine field.
#include "ImageLayout.h"

namespace {

constexpr size_t NewHeaderPointerOffset = 0x3C;  // e_lfanew in the DOS header
constexpr size_t FileHeaderSize = 20;
constexpr size_t SectionHeaderSize = 40;
constexpr size_t SectionRawSizeOffset = 16;
constexpr size_t SectionRawPointerOffset = 20;

uint32_t Read16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Read32(const uint8_t* p) { return Read16(p) | Read16(p + 2) << 16; }

// The offset of the PE signature, when the DOS header, the signature and the
// whole file header behind it lie within `length` bytes.
bool FindPeHeader(const uint8_t* headers, size_t length, uint64_t* peHeader) {
    if (length < NewHeaderPointerOffset + 4 || headers[0] != 'M' || headers[1] != 'Z') return false;
    *peHeader = Read32(headers + NewHeaderPointerOffset);
    if (*peHeader + 4 + FileHeaderSize > length) return false;
    const uint8_t* signature = headers + *peHeader;
    return signature[0] == 'P' && signature[1] == 'E' && signature[2] == 0 && signature[3] == 0;
}

}  // namespace

bool LastSectionRawEnd(const uint8_t* headers, size_t length, uint64_t* offset) {
    uint64_t peHeader;
    if (!FindPeHeader(headers, length, &peHeader)) return false;
    const uint8_t* fileHeader = headers + peHeader + 4;
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

ImageMachine ImageMachineOf(const uint8_t* headers, size_t length) {
    uint64_t peHeader;
    if (!FindPeHeader(headers, length < MachineHeaderLimit ? length : MachineHeaderLimit, &peHeader))
        return ImageMachine::NotAnImage;
    switch (Read16(headers + peHeader + 4)) {
    case 0x014c: return ImageMachine::X86;
    case 0x8664: return ImageMachine::X64;
    case 0xaa64: return ImageMachine::Arm64;
    default: return ImageMachine::Unknown;
    }
}
