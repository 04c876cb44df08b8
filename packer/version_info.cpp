// Writing and reading VS_VERSIONINFO. Every node is: its length, the length
// of its value (in UTF-16 units for texts, in bytes otherwise), its type (1
// text, 0 binary), its key as a NUL-terminated UTF-16 string, padding to a
// 32-bit boundary, the value, padding, and its children, each starting on a
// 32-bit boundary. The data begins on such a boundary in the resource section.
#include "version_info.h"

#include <charconv>
#include <cstdio>
#include <limits>

#include "byte_io.h"
#include "pack_error.h"
#include "utf.h"

namespace kestrel {
namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedInfoVersion = 0x00010000;
constexpr std::uint32_t kFileFlagsMask = 0x3F;
constexpr std::uint32_t kOsWindowsNt = 0x00040004;  // VOS_NT_WINDOWS32
constexpr std::uint32_t kTypeApplication = 1;       // VFT_APP
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

void pad(std::string& out) {
    out.resize((out.size() + 3) / 4 * 4, '\0');
}

std::string utf16z(std::string_view utf8) {
    return utf8_to_utf16le(utf8) + std::string(2, '\0');
}

// One node with its children; its length field leaves out the padding behind it.
std::string node(std::string_view key, std::uint16_t type, const std::string& value, std::uint16_t value_length,
                 const std::vector<std::string>& children = {}) {
    std::string out(6, '\0');
    out += utf16z(key);
    pad(out);
    out += value;
    for (const std::string& child : children) {
        pad(out);
        out += child;
    }
    if (out.size() > std::numeric_limits<std::uint16_t>::max()) {
        throw PackError("the version information is larger than 64 KB");
    }
    put_uint16_le(out, 0, static_cast<std::uint16_t>(out.size()));
    put_uint16_le(out, 2, value_length);
    put_uint16_le(out, 4, type);
    return out;
}

std::string text_node(const std::string& key, const std::string& value) {
    const std::string text = utf16z(value);
    return node(key, kText, text, static_cast<std::uint16_t>(text.size() / 2));
}

std::uint32_t high_word(const VersionNumbers& v) {
    return std::uint32_t{v[0]} << 16 | v[1];
}

std::uint32_t low_word(const VersionNumbers& v) {
    return std::uint32_t{v[2]} << 16 | v[3];
}

std::string fixed_file_info(const VersionInfo& info) {
    std::string out;
    for (std::uint32_t field : {kFixedInfoSignature, kFixedInfoVersion, high_word(info.file_version),
                                low_word(info.file_version), high_word(info.product_version),
                                low_word(info.product_version), kFileFlagsMask, 0u, kOsWindowsNt, kTypeApplication,
                                0u, 0u, 0u}) {
        append_uint32_le(out, field);
    }
    return out;
}

std::string translation_key(const VersionInfo& info) {
    char key[9];
    std::snprintf(key, sizeof key, "%04X%04X", info.language, info.codepage);
    return key;
}

// A parsed node: key, value bytes and children, each read within its length.
struct Node {
    std::string key;
    std::string_view value;
    std::vector<Node> children;
};

Node parse_node(std::string_view data, int depth) {
    if (depth > 4) throw PackError("the version information nests too deep");
    if (data.size() < 6) throw PackError("a version information node is cut short");
    const std::size_t length = uint16_le_at(data, 0);
    const std::size_t value_length = uint16_le_at(data, 2);
    const std::uint16_t type = uint16_le_at(data, 4);
    if (length < 6 || length > data.size()) throw PackError("a version information node has a wrong length");
    data = data.substr(0, length);
    std::size_t at = 6;
    std::string key_bytes;
    while (at + 1 < data.size() && (data[at] != '\0' || data[at + 1] != '\0')) {
        key_bytes += data.substr(at, 2);
        at += 2;
    }
    at = (at + 2 + 3) / 4 * 4;
    const std::size_t value_bytes = type == kText ? 2 * value_length : value_length;
    if (at > data.size() || value_bytes > data.size() - at) throw PackError("a version information value is cut short");
    Node parsed{utf16le_to_utf8(key_bytes), data.substr(at, value_bytes), {}};
    at = (at + value_bytes + 3) / 4 * 4;
    while (at < data.size()) {
        parsed.children.push_back(parse_node(data.substr(at), depth + 1));
        at = (at + uint16_le_at(data, at) + 3) / 4 * 4;
    }
    return parsed;
}

VersionNumbers numbers_of(std::uint32_t high, std::uint32_t low) {
    return {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high & 0xFFFF),
            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low & 0xFFFF)};
}

// The text of a String value without its terminator.
std::string text_value(std::string_view value) {
    std::string bytes(value);
    while (bytes.size() >= 2 && bytes[bytes.size() - 1] == '\0' && bytes[bytes.size() - 2] == '\0') bytes.resize(bytes.size() - 2);
    return utf16le_to_utf8(bytes);
}

void read_string_table(const Node& table, VersionInfo& info) {
    unsigned translation = 0;
    std::from_chars(table.key.data(), table.key.data() + table.key.size(), translation, 16);
    info.language = static_cast<std::uint16_t>(translation >> 16);
    info.codepage = static_cast<std::uint16_t>(translation & 0xFFFF);
    for (const Node& text : table.children) info.strings.emplace_back(text.key, text_value(text.value));
}

}  // namespace

VersionNumbers parse_version_numbers(std::string_view text) {
    VersionNumbers numbers{};
    std::size_t index = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    for (;; ++index) {
        unsigned value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        if (index == numbers.size() || error != std::errc() || value > 0xFFFF) break;
        numbers[index] = static_cast<std::uint16_t>(value);
        if (next == end) return numbers;
        if (*next != '.') break;
        at = next + 1;
    }
    throw PackError("'" + std::string(text) + "' is not a version of one to four numbers from 0 to 65535 (like 1.2.3.4)");
}

std::string version_text(const VersionNumbers& numbers) {
    return std::to_string(numbers[0]) + "." + std::to_string(numbers[1]) + "." + std::to_string(numbers[2]) + "." +
           std::to_string(numbers[3]);
}

std::string version_resource(const VersionInfo& info) {
    std::vector<std::string> texts;
    for (const auto& [key, value] : info.strings) texts.push_back(text_node(key, value));
    const std::string table = node(translation_key(info), kText, "", 0, texts);
    std::string translation;
    append_uint16_le(translation, info.language);
    append_uint16_le(translation, info.codepage);
    const std::string var = node("Translation", kBinary, translation, static_cast<std::uint16_t>(translation.size()));
    return node("VS_VERSION_INFO", kBinary, fixed_file_info(info), kFixedInfoSize,
                {node("StringFileInfo", kText, "", 0, {table}), node("VarFileInfo", kText, "", 0, {var})});
}

VersionInfo parse_version_resource(std::string_view data) {
    const Node root = parse_node(data, 0);
    if (root.key != "VS_VERSION_INFO" || root.value.size() < kFixedInfoSize ||
        uint32_le_at(root.value, 0) != kFixedInfoSignature) {
        throw PackError("the version resource is not a VS_VERSIONINFO");
    }
    VersionInfo info;
    info.file_version = numbers_of(uint32_le_at(root.value, 8), uint32_le_at(root.value, 12));
    info.product_version = numbers_of(uint32_le_at(root.value, 16), uint32_le_at(root.value, 20));
    for (const Node& child : root.children) {
        if (child.key == "StringFileInfo" && !child.children.empty()) read_string_table(child.children.front(), info);
    }
    return info;
}

}  // namespace kestrel
