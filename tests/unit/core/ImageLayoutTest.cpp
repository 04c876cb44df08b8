// Locating the end of the last section's raw data through the PE headers, and
// the machine an image is built for: the three a runtime is built for, any
// other, and every header that cannot be read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ImageLayout.h"

namespace {

void Put16(std::vector<uint8_t>& image, size_t at, uint32_t value) {
    image[at] = uint8_t(value);
    image[at + 1] = uint8_t(value >> 8);
}

void Put32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
    Put16(image, at, value & 0xFFFF);
    Put16(image, at + 2, value >> 16);
}

// Headers with the PE header at 0x80, a 240-byte optional header and
// `sections` sections; section i has raw data at 0x400 * (i + 1), 0x200 long.
std::vector<uint8_t> Headers(uint32_t sections) {
    std::vector<uint8_t> image(1024, 0);
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x80);
    image[0x80] = 'P';
    image[0x81] = 'E';
    Put16(image, 0x84 + 2, sections);
    Put16(image, 0x84 + 16, 240);
    for (uint32_t i = 0; i < sections; ++i) {
        size_t header = 0x84 + 20 + 240 + i * 40;
        Put32(image, header + 16, 0x200);
        Put32(image, header + 20, 0x400 * (i + 1));
    }
    return image;
}

}  // namespace

TEST(ImageLayout, TheLastSectionHeaderGivesTheEnd) {
    uint64_t offset = 0;
    std::vector<uint8_t> image = Headers(6);
    ASSERT_TRUE(LastSectionRawEnd(image.data(), image.size(), &offset));
    EXPECT_EQ(offset, 0x400u * 6 + 0x200);
}

TEST(ImageLayout, DamagedOrCutHeadersAreRefused) {
    uint64_t offset = 0;
    std::vector<uint8_t> image = Headers(6);
    size_t lastHeaderEnd = 0x84 + 20 + 240 + 6 * 40;
    EXPECT_FALSE(LastSectionRawEnd(image.data(), lastHeaderEnd - 1, &offset)) << "section table cut";
    EXPECT_TRUE(LastSectionRawEnd(image.data(), lastHeaderEnd, &offset));
    EXPECT_FALSE(LastSectionRawEnd(image.data(), 0x3F, &offset)) << "DOS header cut";

    std::vector<uint8_t> noSections = Headers(0);
    EXPECT_FALSE(LastSectionRawEnd(noSections.data(), noSections.size(), &offset));
    std::vector<uint8_t> badSignature = Headers(6);
    badSignature[0x81] = 'X';
    EXPECT_FALSE(LastSectionRawEnd(badSignature.data(), badSignature.size(), &offset));
    std::vector<uint8_t> farHeader = Headers(6);
    Put32(farHeader, 0x3C, 0xFFFFFFF0u);
    EXPECT_FALSE(LastSectionRawEnd(farHeader.data(), farHeader.size(), &offset)) << "e_lfanew past the end";
    std::vector<uint8_t> manySections = Headers(6);
    Put16(manySections, 0x84 + 2, 0xFFFF);
    EXPECT_FALSE(LastSectionRawEnd(manySections.data(), manySections.size(), &offset));
}

namespace {

std::vector<uint8_t> ImageFor(uint32_t machine) {
    std::vector<uint8_t> image = Headers(1);
    Put16(image, 0x84, machine);
    return image;
}

ImageMachine MachineOf(const std::vector<uint8_t>& image) { return ImageMachineOf(image.data(), image.size()); }

}  // namespace

TEST(ImageMachineOf, KnownAndUnknownMachines) {
    EXPECT_EQ(MachineOf(ImageFor(0x014C)), ImageMachine::X86);
    EXPECT_EQ(MachineOf(ImageFor(0x8664)), ImageMachine::X64);
    EXPECT_EQ(MachineOf(ImageFor(0xAA64)), ImageMachine::Arm64);
    EXPECT_EQ(MachineOf(ImageFor(0x01C4)), ImageMachine::Unknown);
    EXPECT_EQ(MachineOf(ImageFor(0)), ImageMachine::Unknown);
    // The machine needs no section table: the file header is enough.
    std::vector<uint8_t> image = ImageFor(0x8664);
    EXPECT_EQ(ImageMachineOf(image.data(), 0x84 + 20), ImageMachine::X64);
}

TEST(ImageMachineOf, UnreadableHeadersAreNoImage) {
    EXPECT_EQ(ImageMachineOf(nullptr, 0), ImageMachine::NotAnImage);
    std::vector<uint8_t> image = ImageFor(0x8664);
    EXPECT_EQ(ImageMachineOf(image.data(), 0x84 + 19), ImageMachine::NotAnImage) << "file header cut";
    EXPECT_EQ(ImageMachineOf(image.data(), 0x3E), ImageMachine::NotAnImage) << "DOS header cut";
    image[0] = 'Z';
    EXPECT_EQ(MachineOf(image), ImageMachine::NotAnImage) << "no MZ";
    image = ImageFor(0x8664);
    image[0x82] = 'X';
    EXPECT_EQ(MachineOf(image), ImageMachine::NotAnImage) << "no PE signature";
    image = ImageFor(0x8664);
    Put32(image, 0x3C, 0xFFFFFFF0u);
    EXPECT_EQ(MachineOf(image), ImageMachine::NotAnImage) << "e_lfanew past the end";
    // Headers beyond what is looked at.
    std::vector<uint8_t> far(MachineHeaderLimit + 64, 0);
    std::copy(image.begin(), image.begin() + 0x40, far.begin());
    Put32(far, 0x3C, MachineHeaderLimit - 8);
    far[MachineHeaderLimit - 8] = 'P';
    far[MachineHeaderLimit - 7] = 'E';
    Put16(far, MachineHeaderLimit - 4, 0x8664);
    EXPECT_EQ(MachineOf(far), ImageMachine::NotAnImage);
    Put32(far, 0x3C, MachineHeaderLimit - 24);
    far[MachineHeaderLimit - 24] = 'P';
    far[MachineHeaderLimit - 23] = 'E';
    Put16(far, MachineHeaderLimit - 20, 0x8664);
    EXPECT_EQ(MachineOf(far), ImageMachine::X64) << "the file header ends just within the limit";
}
