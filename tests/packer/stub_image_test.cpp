// The stub part of a launcher: the resource section rebuilt with the
// project's manifest, icon and version information, the headers that
// describe it updated, a stub's signature removed, and the same bytes for
// the same inputs.
#include "stub_image.h"

#include <gtest/gtest.h>

#include "byte_io.h"
#include "icon_file.h"
#include "launcher_resources.h"
#include "pack_error.h"
#include "resource_section.h"
#include "test_support.h"

namespace kestrel {
namespace {

using testing::make_stub;
using testing::section_header;

const Resource* find(const std::vector<Resource>& resources, std::uint16_t type, const ResourceId& name) {
    for (const Resource& resource : resources) {
        if (resource.type == ResourceId::of(type) && resource.name == name) return &resource;
    }
    return nullptr;
}

std::vector<Resource> resources_of(const LauncherStub& stub) {
    return read_resources(stub.image, stub.layout.sections.back());
}

BuildSettings with_icon(const std::vector<testing::TestIconImage>& images) {
    BuildSettings settings;
    settings.resources.icon = read_icon_file(testing::make_icon(images));
    return settings;
}

TEST(StubImage, TheResourceSectionGrowsAndEveryHeaderFieldFollows) {
    const std::string stub = make_stub();
    const LauncherStub launcher = prepare_launcher_stub(stub, with_icon({{32, 32, 'a'}, {32, 32, 'b'}}));
    const PeSection& rsrc = launcher.layout.sections.back();
    EXPECT_EQ(rsrc.raw_offset, 0xC00u);
    EXPECT_GT(rsrc.virtual_size, 0x1000u);
    EXPECT_EQ(rsrc.raw_size, (rsrc.virtual_size + 0x1FF) / 0x200 * 0x200);
    EXPECT_EQ(launcher.image.size(), rsrc.raw_end());
    EXPECT_EQ(launcher.layout.block_offset, launcher.image.size());
    // The 32-bit launcher's fixed block offsets read the new size.
    EXPECT_EQ(uint32_le_at(launcher.image, 552) + uint32_le_at(launcher.image, 556), launcher.image.size());
    const std::size_t optional = 0x98;
    EXPECT_EQ(uint32_le_at(launcher.image, optional + 56), 0x5000 + (rsrc.virtual_size + 0xFFF) / 0x1000 * 0x1000);
    EXPECT_EQ(uint32_le_at(launcher.image, optional + 8), rsrc.raw_size - 0x200);
    EXPECT_EQ(uint32_le_at(launcher.image, optional + 96 + 16), 0x5000u);
    EXPECT_EQ(uint32_le_at(launcher.image, optional + 96 + 20), rsrc.virtual_size);
    // Everything before .rsrc is the stub's, header fields aside.
    EXPECT_EQ(launcher.image.substr(0x400, 0x800), stub.substr(0x400, 0x800));
    EXPECT_EQ(launcher.image.substr(section_header(0), 4 * 40), stub.substr(section_header(0), 4 * 40));
}

TEST(StubImage, TheManifestIsAlwaysWrittenAndVersionInformationOnlyWhenSet) {
    LauncherStub launcher = prepare_launcher_stub(make_stub(), BuildSettings{});
    std::vector<Resource> resources = resources_of(launcher);
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0].type, ResourceId::of(kManifestResource));
    EXPECT_EQ(resources[0].data, launcher_manifest({}, Architecture::X86));

    BuildSettings settings;
    settings.resources.manifest.execution_level = ExecutionLevel::RequireAdministrator;
    settings.resources.version = VersionInfo{{1, 2, 3, 4}, {1, 2, 3, 4}, {{"ProductName", "P"}}};
    launcher = prepare_launcher_stub(launcher.image, settings);
    resources = resources_of(launcher);
    ASSERT_EQ(resources.size(), 2u);
    const Resource* version = find(resources, kVersionResource, ResourceId::of(1));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->language, 0);
    EXPECT_EQ(version->data, version_resource(*settings.resources.version));
    EXPECT_EQ(read_manifest(find(resources, kManifestResource, ResourceId::of(1))->data).execution_level,
              "requireAdministrator");

    // Built again without [version], from a stub that has one: none.
    EXPECT_EQ(resources_of(prepare_launcher_stub(launcher.image, BuildSettings{})).size(), 1u);
}

TEST(StubImage, TheIconReplacesTheMainGroupAndOnlyTheImagesItUsed) {
    LauncherStub first = prepare_launcher_stub(make_stub(), with_icon({{16, 4, 'a'}, {32, 32, 'b'}, {0, 32, 'c'}}));
    std::vector<Resource> resources = resources_of(first);
    const Resource* group = find(resources, kIconGroupResource, ResourceId::named(kMainIconName));
    ASSERT_NE(group, nullptr);
    std::vector<IconGroupEntry> entries = read_icon_group(group->data);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].width, 256);
    EXPECT_EQ(find(resources, kIconResource, ResourceId::of(entries[2].id))->data,
              testing::icon_image_data({0, 32, 'c'}));

    // The second icon takes the numbers the first one's images had.
    const LauncherStub second = prepare_launcher_stub(first.image, with_icon({{48, 8, 'z'}}));
    resources = resources_of(second);
    EXPECT_EQ(resources.size(), 3u);  // manifest, group, one image
    entries = read_icon_group(find(resources, kIconGroupResource, ResourceId::named(kMainIconName))->data);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].id, 1);
    EXPECT_EQ(entries[0].bit_count, 8);
    EXPECT_EQ(find(resources, kIconResource, ResourceId::of(1))->data, testing::icon_image_data({48, 8, 'z'}));
    EXPECT_LT(second.image.size(), first.image.size());
}

TEST(StubImage, TheSameInputsGiveTheSameBytes) {
    const BuildSettings settings = with_icon({{16, 32, 'a'}});
    EXPECT_EQ(prepare_launcher_stub(make_stub(), settings).image, prepare_launcher_stub(make_stub(), settings).image);
}

TEST(StubImage, ASignedStubLosesItsSignatureWithANote) {
    std::string signed_stub = make_stub() + std::string(8, '\0') + "certificate table";
    testing::put_uint32(signed_stub, 0x98 + 96 + 32, 0xE08);
    testing::put_uint32(signed_stub, 0x98 + 96 + 36, 17);
    const LauncherStub launcher = prepare_launcher_stub(signed_stub, BuildSettings{});
    EXPECT_EQ(launcher.image, prepare_launcher_stub(make_stub(), BuildSettings{}).image);
    ASSERT_EQ(launcher.notes.size(), 1u);
    EXPECT_NE(launcher.notes[0].find("signature was removed"), std::string::npos);

    // A table that overlaps the image is no signature to remove.
    testing::put_uint32(signed_stub, 0x98 + 96 + 32, 0xC00);
    EXPECT_THROW(prepare_launcher_stub(signed_stub, BuildSettings{}), PackError);
}

TEST(StubImage, AStubWhoseResourceEntryIsNotItsRsrcSectionIsRefused) {
    std::string stub = make_stub();
    testing::put_uint32(stub, 0x98 + 96 + 16, 0x4000);
    try {
        prepare_launcher_stub(stub, BuildSettings{});
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find("resource directory at RVA 0x4000 is not the .rsrc section"),
                  std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace kestrel
