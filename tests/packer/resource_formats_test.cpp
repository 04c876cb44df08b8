// The resource formats the packer writes and reads: icon files and icon
// groups, version information, and the manifest for each setting.
#include <gtest/gtest.h>

#include "byte_io.h"
#include "icon_file.h"
#include "manifest.h"
#include "pack_error.h"
#include "test_support.h"
#include "version_info.h"

namespace kestrel {
namespace {

using testing::make_icon;
using testing::put_uint16;
using testing::put_uint32;

std::string error_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const PackError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(IconFile, EveryImageIsReadWithItsSizeAndDepthAndBecomesAGroupEntry) {
    const std::string file = make_icon({{16, 4, 'a'}, {32, 32, 'b'}, {0, 32, 'p'}});
    const std::vector<IconImage> images = read_icon_file(file);
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].width, 16);
    EXPECT_EQ(images[0].bit_count, 4);
    EXPECT_EQ(images[1].data, testing::icon_image_data({32, 32, 'b'}));
    EXPECT_EQ(images[2].data.substr(1, 3), "PNG");

    const std::string group = icon_group(images, {7, 8, 9});
    EXPECT_EQ(group.size(), 6u + 3 * 14);
    const std::vector<IconGroupEntry> entries = read_icon_group(group);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].width, 256);
    EXPECT_EQ(entries[2].id, 9);
    EXPECT_EQ(entries[1].bit_count, 32);
    EXPECT_EQ(uint32_le_at(group, 6 + 14 + 8), images[1].data.size());
}

TEST(IconFile, WhatIsNoIconIsRefusedWithTheReason) {
    std::string file = make_icon({{16, 32, 'a'}});
    const auto refused = [](std::string bytes) { return error_of([&] { read_icon_file(bytes); }); };
    EXPECT_NE(refused("\x89PNG\r\n\x1a\n plain png").find("not an icon file"), std::string::npos);
    EXPECT_NE(refused("").find("not an icon file"), std::string::npos);
    std::string cursor = file;
    put_uint16(cursor, 2, 2);
    EXPECT_NE(refused(cursor).find("a cursor file"), std::string::npos);
    std::string empty = file.substr(0, 6);
    put_uint16(empty, 4, 0);
    EXPECT_NE(refused(empty).find("holds no image"), std::string::npos);
    EXPECT_NE(refused(file.substr(0, 12)).find("cut short in its list of 1 images"), std::string::npos);
    EXPECT_NE(refused(file.substr(0, file.size() - 1)).find("image 1 lies outside the file"), std::string::npos);
    std::string garbage = file;
    put_uint32(garbage, 22, 77);
    EXPECT_NE(refused(garbage).find("image 1 is neither a bitmap nor a PNG image"), std::string::npos);
}

TEST(VersionInfo, NumbersAreOneToFourParts) {
    EXPECT_EQ(parse_version_numbers("1.2.3.4"), (VersionNumbers{1, 2, 3, 4}));
    EXPECT_EQ(parse_version_numbers("2"), (VersionNumbers{2, 0, 0, 0}));
    EXPECT_EQ(parse_version_numbers("65535.0.7"), (VersionNumbers{65535, 0, 7, 0}));
    EXPECT_EQ(version_text({1, 20, 300, 4000}), "1.20.300.4000");
    for (const char* bad : {"", "1.", "1..2", "1.2.3.4.5", "65536", "v1", "1.-2", "1.2 "}) {
        EXPECT_NE(error_of([&] { parse_version_numbers(bad); }).find("is not a version of one to four numbers"),
                  std::string::npos)
            << bad;
    }
}

TEST(VersionInfo, TheResourceReadsBackWithItsFixedPartAndTexts) {
    VersionInfo info;
    info.file_version = {1, 2, 3, 4};
    info.product_version = {5, 6, 0, 0};
    info.language = 0x0407;
    info.strings = {{"CompanyName", "Kestrel \u00c4rger GmbH"}, {"FileDescription", "Odd"}, {"Comments", ""}};
    const std::string data = version_resource(info);
    // Length of the whole, 52-byte fixed part, binary root.
    EXPECT_EQ(uint16_le_at(data, 0), data.size());
    EXPECT_EQ(uint16_le_at(data, 2), 52);
    // The fixed part starts on a 32-bit boundary behind "VS_VERSION_INFO".
    EXPECT_EQ(uint32_le_at(data, 40), 0xFEEF04BDu);
    EXPECT_EQ(uint32_le_at(data, 48), 0x00010002u);  // file version 1.2
    EXPECT_EQ(uint32_le_at(data, 52), 0x00030004u);  // .3.4
    EXPECT_EQ(uint32_le_at(data, 40 + 36), 1u);      // an application

    const VersionInfo read = parse_version_resource(data);
    EXPECT_EQ(read.file_version, info.file_version);
    EXPECT_EQ(read.product_version, info.product_version);
    EXPECT_EQ(read.language, 0x0407);
    EXPECT_EQ(read.codepage, 1200);
    EXPECT_EQ(read.strings, info.strings);
    EXPECT_NE(data.find(std::string("0\0004\0000\0007\0000\0004\000B\0000\0", 16)), std::string::npos);
}

TEST(VersionInfo, DamagedResourcesAreRefused) {
    VersionInfo info;
    info.strings = {{"ProductName", "P"}};
    const std::string data = version_resource(info);
    EXPECT_THROW(parse_version_resource(data.substr(0, data.size() - 8)), PackError);
    std::string wrong_signature = data;
    put_uint32(wrong_signature, 40, 0);
    EXPECT_THROW(parse_version_resource(wrong_signature), PackError);
    std::string long_value = data;
    put_uint16(long_value, 2, 0xFFF);
    EXPECT_THROW(parse_version_resource(long_value), PackError);
    EXPECT_THROW(parse_version_resource(std::string("\x02\0\0\0\0\0", 6)), PackError);
}

TEST(Manifest, DeclaresEachSettingAndKeepsCommonControls) {
    const std::string defaults = launcher_manifest({}, Architecture::X86);
    DeclaredManifest declared = read_manifest(defaults);
    EXPECT_EQ(declared.execution_level, "asInvoker");
    EXPECT_EQ(declared.dpi_awareness, "PerMonitorV2, PerMonitor");
    EXPECT_EQ(declared.long_path_aware, "false");
    EXPECT_TRUE(declared.common_controls_6);
    EXPECT_NE(defaults.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<"),
              std::string::npos);
    EXPECT_NE(defaults.find("name=\"jredl\" version=\"1.0.0.0\" processorArchitecture=\"X86\""), std::string::npos);
    for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(defaults.find(std::string("<supportedOS Id=\"") + os + "\"/>"), std::string::npos) << os;
    }

    const std::string elevated = launcher_manifest(
        {ExecutionLevel::RequireAdministrator, DpiAwareness::System, true}, Architecture::X64);
    declared = read_manifest(elevated);
    EXPECT_EQ(declared.execution_level, "requireAdministrator");
    EXPECT_EQ(declared.dpi_awareness, "System");
    EXPECT_EQ(declared.long_path_aware, "true");
    EXPECT_EQ(elevated.find("X86"), std::string::npos);
    EXPECT_NE(elevated.find("version=\"6.0.0.0\" processorArchitecture=\"amd64\""), std::string::npos);
    EXPECT_EQ(read_manifest(launcher_manifest({ExecutionLevel::HighestAvailable, DpiAwareness::Unaware, false},
                                              Architecture::X86))
                  .execution_level,
              "highestAvailable");
}

}  // namespace
}  // namespace kestrel
