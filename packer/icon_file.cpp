// The .ico format: a 6-byte header (0, type 1, image count), a 16-byte entry
// per image (width, height, colour count, reserved, planes, bits per pixel,
// data size, data offset), and the image data. An icon group resource has
// the same header and 14-byte entries that end in the icon resource number
// instead of the offset.
#include "icon_file.h"

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
// BITMAPINFOHEADER and its later versions (V4, V5).
constexpr std::uint32_t kBitmapHeaderSizes[] = {40, 108, 124};

bool is_bitmap(std::string_view data) {
    if (data.size() < 4) return false;
    const std::uint32_t size = uint32_le_at(data, 0);
    for (std::uint32_t known : kBitmapHeaderSizes) {
        if (size == known && data.size() >= size) return true;
    }
    return false;
}

void check_header(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || uint16_le_at(bytes, 0) != 0) throw PackError("not an icon file");
    const std::uint16_t type = uint16_le_at(bytes, 2);
    if (type == kCursorType) throw PackError("a cursor file, not an icon file");
    if (type != kIconType) throw PackError("not an icon file");
    if (uint16_le_at(bytes, 4) == 0) throw PackError("the icon file holds no image");
}

IconImage read_image(std::string_view bytes, std::size_t index) {
    const std::size_t entry = kHeaderSize + index * kFileEntrySize;
    const std::string which = "image " + std::to_string(index + 1);
    const std::uint32_t size = uint32_le_at(bytes, entry + 8);
    const std::uint32_t offset = uint32_le_at(bytes, entry + 12);
    if (size == 0 || offset > bytes.size() || size > bytes.size() - offset) {
        throw PackError(which + " lies outside the file (" + std::to_string(size) + " bytes at offset " +
                        std::to_string(offset) + " of " + std::to_string(bytes.size()) + ")");
    }
    const std::string_view data = bytes.substr(offset, size);
    if (data.substr(0, kPngSignature.size()) != kPngSignature && !is_bitmap(data)) {
        throw PackError(which + " is neither a bitmap nor a PNG image");
    }
    return {static_cast<std::uint8_t>(bytes[entry]),     static_cast<std::uint8_t>(bytes[entry + 1]),
            static_cast<std::uint8_t>(bytes[entry + 2]), uint16_le_at(bytes, entry + 4),
            uint16_le_at(bytes, entry + 6),               std::string(data)};
}

}  // namespace

std::vector<IconImage> read_icon_file(std::string_view bytes) {
    check_header(bytes);
    const std::size_t count = uint16_le_at(bytes, 4);
    if (kHeaderSize + count * kFileEntrySize > bytes.size()) {
        throw PackError("the icon file is cut short in its list of " + std::to_string(count) + " images");
    }
    std::vector<IconImage> images;
    for (std::size_t i = 0; i < count; ++i) images.push_back(read_image(bytes, i));
    return images;
}

std::string icon_group(const std::vector<IconImage>& images, const std::vector<std::uint16_t>& ids) {
    std::string group;
    append_uint16_le(group, 0);
    append_uint16_le(group, kIconType);
    append_uint16_le(group, static_cast<std::uint16_t>(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconImage& image = images[i];
        group += static_cast<char>(image.width);
        group += static_cast<char>(image.height);
        group += static_cast<char>(image.colour_count);
        group += '\0';
        append_uint16_le(group, image.planes);
        append_uint16_le(group, image.bit_count);
        append_uint32_le(group, static_cast<std::uint32_t>(image.data.size()));
        append_uint16_le(group, ids[i]);
    }
    return group;
}

std::vector<IconGroupEntry> read_icon_group(std::string_view group) {
    if (group.size() < kHeaderSize) throw PackError("the icon group is cut short");
    const std::size_t count = uint16_le_at(group, 4);
    if (kHeaderSize + count * kGroupEntrySize > group.size()) throw PackError("the icon group is cut short");
    std::vector<IconGroupEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderSize + i * kGroupEntrySize;
        const auto side = [&](std::size_t at) {
            const auto value = static_cast<std::uint8_t>(group[at]);
            return static_cast<std::uint16_t>(value == 0 ? 256 : value);
        };
        entries.push_back({side(entry), side(entry + 1), uint16_le_at(group, entry + 6), uint16_le_at(group, entry + 12)});
    }
    return entries;
}

}  // namespace kestrel
