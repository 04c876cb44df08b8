// Windows icon files (.ico) and the icon resources made from them: every
// image of the file becomes an icon resource, and an icon group lists them
// with the sizes and colour depths the file gives.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

struct IconImage {
    std::uint8_t width;   // 0 stands for 256
    std::uint8_t height;  // 0 stands for 256
    std::uint8_t colour_count;
    std::uint16_t planes;
    std::uint16_t bit_count;
    std::string data;  // a BITMAPINFOHEADER with its pixels, or a PNG file
};

// The images of an .ico file. A file that is not an icon (no icon header, an
// image outside the file, an image that is neither a bitmap nor a PNG) is a
// PackError with the reason.
std::vector<IconImage> read_icon_file(std::string_view bytes);

// The icon group resource for `images`, stored as icon resources with the
// numbers `ids` (one per image).
std::string icon_group(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids);

struct IconGroupEntry {
    std::uint16_t width;  // 1 to 256
    std::uint16_t height;
    std::uint16_t bit_count;
    std::uint16_t id;
};

// The entries of an icon group resource; a group cut short is a PackError.
std::vector<IconGroupEntry> read_icon_group(std::string_view group);

}  // namespace kestrel
