// Helpers shared by the packer tests: a scratch directory, file access, and
// a synthetic stub with the header layout the launcher requires.
#pragma once

#include <gtest/gtest.h>

#include "byte_io.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kestrel::testing {

// Names parameterised cases after the `name` member of their parameter.
struct ParamName {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& info) const {
        return info.param.name;
    }
};

// A fresh directory that is removed with everything in it at the end.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes `content` to a file below the directory, creating parents.
    std::filesystem::path write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path path_;
};

std::string read_file(const std::filesystem::path& path);

// Offset of the header of section `index` in a stub made by make_stub().
constexpr std::size_t section_header(std::size_t index) {
    return 0x178 + 40 * index;
}

// A minimal i386 GUI image: PE header at 0x80, five sections .text .rdata
// .data .idata .rsrc of 0x200 bytes each, laid out in that order from 0x400
// in the file and from 0x1000 in memory (0x1000 apart). .text starts with
// kStubText; .rsrc holds an empty resource directory.
std::string make_stub();

// The x86-64 counterpart: a PE32+ image with its PE header at 0x100 and six
// sections .text .pdata .xdata .data .idata .rsrc laid out the same way.
std::string make_stub64();

// Offset of the header of section `index` in a stub made by make_stub64().
constexpr std::size_t section_header64(std::size_t index) {
    return 0x208 + 40 * index;
}

constexpr const char* kStubText = "stub code";

inline constexpr auto& put_uint16 = put_uint16_le;
inline constexpr auto& put_uint32 = put_uint32_le;

// An .ico file with the given images: 16 and 32 pixels as bitmaps (a
// BITMAPINFOHEADER and `tag` repeated), 0 (256 pixels) as a PNG.
struct TestIconImage {
    std::uint8_t width;
    std::uint16_t bit_count;
    char tag;
};
std::string icon_image_data(const TestIconImage& image);
std::string make_icon(const std::vector<TestIconImage>& images);

// The bytes `text` stands for, written as hex pairs separated by blanks.
std::string hex_bytes(const std::string& text);

}  // namespace kestrel::testing
