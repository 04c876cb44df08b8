// Resource sections: what is written reads back as the same resources, in
// the layout Windows expects (directories in order, data aligned inside the
// section), the same whatever the input order; damaged sections are refused.
#include "resource_section.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::uint32_t kRva = 0x5000;

std::vector<Resource> sample_resources() {
    return {
        {ResourceId::of(kManifestResource), ResourceId::of(1), 1033, "<assembly/>"},
        {ResourceId::of(kIconResource), ResourceId::of(2), 1033, std::string(13, 'b')},
        {ResourceId::of(kIconResource), ResourceId::of(1), 1033, std::string(40, 'a')},
        {ResourceId::of(kIconGroupResource), ResourceId::named(u"MAINICO"), 1033, "group", 1252},
        {ResourceId::of(kDialogResource), ResourceId::of(103), 1031, "deutsch"},
        {ResourceId::of(kDialogResource), ResourceId::of(103), 1033, "english"},
        {ResourceId::named(u"DATA"), ResourceId::named(u"B"), 0, "named type"},
        {ResourceId::named(u"DATA"), ResourceId::named(u"A"), 0, ""},
    };
}

PeSection section_of(const std::string& bytes) {
    return {".rsrc", kRva, static_cast<std::uint32_t>(bytes.size()), 0, static_cast<std::uint32_t>(bytes.size()), 0};
}

std::vector<Resource> sorted(std::vector<Resource> resources) {
    std::sort(resources.begin(), resources.end(), [](const Resource& a, const Resource& b) {
        return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
    });
    return resources;
}

TEST(ResourceSection, ReadsBackWhatWasWrittenInDirectoryOrder) {
    const std::string section = build_resource_section(sample_resources(), kRva);
    const std::vector<Resource> read = read_resources(section, section_of(section));
    EXPECT_EQ(read, sorted(sample_resources()));
    // Names come before numbers on every level, names in code unit order.
    ASSERT_EQ(read.size(), 8u);
    EXPECT_EQ(read[0].name, ResourceId::named(u"A"));
    EXPECT_EQ(read[2].type, ResourceId::of(kIconResource));
    EXPECT_EQ(read[4].language, 1031);
    EXPECT_EQ(read[7].codepage, 0u);
    EXPECT_EQ(read[6].codepage, 1252u);

    std::vector<Resource> reversed = sample_resources();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(build_resource_section(reversed, kRva), section);
}

// The targets of the entries of the directory at `offset`, flag cleared.
std::vector<std::uint32_t> entry_targets(const std::string& section, std::size_t offset) {
    std::vector<std::uint32_t> targets;
    const std::size_t count = std::size_t{uint16_le_at(section, offset + 12)} + uint16_le_at(section, offset + 14);
    for (std::size_t i = 0; i < count; ++i) targets.push_back(uint32_le_at(section, offset + 20 + 8 * i) & 0x7FFFFFFF);
    return targets;
}

TEST(ResourceSection, DirectoriesLieLevelByLevelAndDataIsAlignedInTheSection) {
    const std::string section = build_resource_section(sample_resources(), kRva);
    // Root: one named type (DATA), then ICON, DIALOG, GROUP_ICON, MANIFEST;
    // the type directories follow it directly.
    EXPECT_EQ(uint16_le_at(section, 12), 1);
    EXPECT_EQ(uint16_le_at(section, 14), 4);
    const std::vector<std::uint32_t> types = entry_targets(section, 0);
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(types[0], 16u + 5 * 8);
    std::size_t data_end = 0;
    for (std::uint32_t type : types) {
        for (std::uint32_t name : entry_targets(section, type)) {
            EXPECT_GT(name, types.back()) << "name directories follow the type directories";
            for (std::uint32_t entry : entry_targets(section, name)) {
                const std::uint32_t rva = uint32_le_at(section, entry);
                EXPECT_EQ(rva % 8, 0u);
                data_end = std::max<std::size_t>(data_end, rva - kRva + uint32_le_at(section, entry + 4));
            }
        }
    }
    EXPECT_EQ(data_end, section.size());
}

TEST(ResourceSection, AResourceTwiceIsRefused) {
    std::vector<Resource> resources = sample_resources();
    resources.push_back(resources.front());
    EXPECT_THROW(build_resource_section(resources, kRva), PackError);
}

struct DamagedSection {
    const char* name;
    std::size_t offset;  // of the 32-bit field overwritten
    std::uint32_t value;
    const char* reason;
};

void PrintTo(const DamagedSection& value, std::ostream* out) {
    *out << value.name;
}

class DamagedSectionTest : public ::testing::TestWithParam<DamagedSection> {};

TEST_P(DamagedSectionTest, IsRefusedWithItsReason) {
    // One resource: root, type and name directories at 0, 0x18, 0x30, the
    // data entry at 0x48, the data at 0x58.
    std::string section =
        build_resource_section({{ResourceId::of(kManifestResource), ResourceId::of(1), 0, "xml"}}, kRva);
    ASSERT_EQ(uint32_le_at(section, 0x48), kRva + 0x58);
    put_uint32_le(section, GetParam().offset, GetParam().value);
    try {
        read_resources(section, section_of(section));
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sections, DamagedSectionTest,
    ::testing::Values(DamagedSection{"Loop", 0x2C, 0x80000000, "loop"},
                      DamagedSection{"TooDeep", 0x44, 0x80000048, "more than three directory levels"},
                      DamagedSection{"DirectoryOutside", 0x14, 0x80001000, "outside the resource section"},
                      DamagedSection{"DataBeforeSection", 0x48, 0x100, "before the resource section"},
                      DamagedSection{"DataPastSection", 0x4C, 0x1000, "outside the resource section"},
                      DamagedSection{"DataAtTypeLevel", 0x14, 0x48, "fewer than three directory levels"},
                      DamagedSection{"NameOutside", 0x10, 0x80000F00, "a resource name"},
                      DamagedSection{"ManyEntries", 0x0C, 0x00400000, "outside the resource section"}),
    [](const ::testing::TestParamInfo<DamagedSection>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrel
