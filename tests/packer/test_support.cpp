// Scratch directories, file helpers and the synthetic stub image.
#include "test_support.h"

#include <fstream>
#include <random>
#include <sstream>

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

void put_uint16(std::string& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<char>(value & 0xFF);
    image[offset + 1] = static_cast<char>(value >> 8);
}

void put_uint32(std::string& image, std::size_t offset, std::uint32_t value) {
    put_uint16(image, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    put_uint16(image, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::string make_stub() {
    const char* names[] = {".text", ".rdata", ".data", ".idata", ".rsrc"};
    constexpr std::uint32_t kFirstSection = 0x400;
    constexpr std::uint32_t kSectionSize = 0x200;
    std::string image(kFirstSection + 5 * kSectionSize, '\0');
    image.replace(0, 2, "MZ");
    put_uint32(image, 0x3C, 0x80);
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    put_uint16(image, 0x84, 0x14C);   // machine
    put_uint16(image, 0x86, 5);       // number of sections
    put_uint16(image, 0x94, 224);     // size of optional header
    put_uint16(image, 0x98, 0x10B);   // PE32 magic
    put_uint16(image, 0x98 + 68, 2);  // Windows GUI subsystem
    for (std::size_t i = 0; i < 5; ++i) {
        image.replace(section_header(i), std::string(names[i]).size(), names[i]);
        put_uint32(image, section_header(i) + 16, kSectionSize);
        put_uint32(image, section_header(i) + 20, static_cast<std::uint32_t>(kFirstSection + i * kSectionSize));
    }
    return image;
}

std::string hex_bytes(const std::string& text) {
    std::istringstream in(text);
    std::string bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<char>(value));
    return bytes;
}

}  // namespace kestrel::testing
