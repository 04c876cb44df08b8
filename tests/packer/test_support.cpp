// Scratch directories, file helpers and the synthetic stub image.
#include "test_support.h"

#include <fstream>
#include <random>
#include <sstream>
#include <vector>

namespace kestrel::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("kestrel-pack-test-" + std::to_string(random()));
    fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path ScratchDir::write(const std::string& name, const std::string& content) const {
    const fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

namespace {

struct StubShape {
    std::uint16_t machine;
    std::uint16_t magic;
    std::uint32_t pe_offset;
    std::uint16_t optional_header_size;
    std::size_t data_directories;  // offset in the optional header
    std::vector<const char*> sections;
};

constexpr std::uint32_t kFirstSection = 0x400;
constexpr std::uint32_t kSectionSize = 0x200;
constexpr std::uint32_t kSectionAlignment = 0x1000;

std::string make_image(const StubShape& shape) {
    const std::size_t count = shape.sections.size();
    std::string image(kFirstSection + count * kSectionSize, '\0');
    image.replace(0, 2, "MZ");
    put_uint32(image, 0x3C, shape.pe_offset);
    image.replace(shape.pe_offset, 4, std::string("PE\0\0", 4));
    const std::size_t coff = shape.pe_offset + 4;
    const std::size_t optional = coff + 20;
    put_uint16(image, coff, shape.machine);
    put_uint16(image, coff + 2, static_cast<std::uint16_t>(count));
    put_uint16(image, coff + 16, shape.optional_header_size);
    put_uint16(image, optional, shape.magic);
    put_uint32(image, optional + 32, kSectionAlignment);
    put_uint32(image, optional + 36, kSectionSize);  // file alignment
    put_uint32(image, optional + 56, static_cast<std::uint32_t>((count + 1) * kSectionAlignment));  // image size
    put_uint32(image, optional + 60, kFirstSection);                                                // header size
    put_uint16(image, optional + 68, 2);  // Windows GUI subsystem
    put_uint32(image, optional + shape.data_directories - 4, 16);
    const std::uint32_t resources = static_cast<std::uint32_t>(count * kSectionAlignment);
    put_uint32(image, optional + shape.data_directories + 16, resources);
    put_uint32(image, optional + shape.data_directories + 20, 16);
    const std::size_t table = optional + shape.optional_header_size;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t header = table + 40 * i;
        image.replace(header, std::string(shape.sections[i]).size(), shape.sections[i]);
        put_uint32(image, header + 8, kSectionSize);
        put_uint32(image, header + 12, static_cast<std::uint32_t>((i + 1) * kSectionAlignment));
        put_uint32(image, header + 16, kSectionSize);
        put_uint32(image, header + 20, static_cast<std::uint32_t>(kFirstSection + i * kSectionSize));
    }
    image.replace(kFirstSection, std::string(kStubText).size(), kStubText);
    return image;
}

}  // namespace

std::string make_stub() {
    return make_image({0x14C, 0x10B, 0x80, 224, 96, {".text", ".rdata", ".data", ".idata", ".rsrc"}});
}

std::string make_stub64() {
    return make_image({0x8664, 0x20B, 0x100, 240, 112, {".text", ".pdata", ".xdata", ".data", ".idata", ".rsrc"}});
}

std::string icon_image_data(const TestIconImage& image) {
    if (image.width == 0) return std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, image.tag);
    std::string header(40, '\0');
    put_uint32(header, 0, 40);
    put_uint32(header, 4, image.width);
    put_uint32(header, 8, 2u * image.width);
    put_uint16(header, 12, 1);
    put_uint16(header, 14, image.bit_count);
    return header + std::string(std::size_t{image.width} * image.width * image.bit_count / 8, image.tag);
}

std::string make_icon(const std::vector<TestIconImage>& images) {
    std::string directory(6 + 16 * images.size(), '\0');
    put_uint16(directory, 2, 1);
    put_uint16(directory, 4, static_cast<std::uint16_t>(images.size()));
    std::string data;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const std::string image = icon_image_data(images[i]);
        const std::size_t entry = 6 + 16 * i;
        directory[entry] = static_cast<char>(images[i].width);
        directory[entry + 1] = static_cast<char>(images[i].width);
        put_uint16(directory, entry + 4, 1);
        put_uint16(directory, entry + 6, images[i].bit_count);
        put_uint32(directory, entry + 8, static_cast<std::uint32_t>(image.size()));
        put_uint32(directory, entry + 12, static_cast<std::uint32_t>(directory.size() + data.size()));
        data += image;
    }
    return directory + data;
}

std::string hex_bytes(const std::string& text) {
    std::istringstream in(text);
    std::string bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<char>(value));
    return bytes;
}

}  // namespace kestrel::testing
