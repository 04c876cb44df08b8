// Writing the scrambled payload records and reading their index back.
#include "payload.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "byte_io.h"
#include "cp1252.h"
#include "pack_error.h"

namespace kestrel {
namespace {

// Characters Windows does not allow in a file name; ';' separates the names
// in key 2003.
constexpr std::string_view kForbiddenNameCharacters = ";/\\<>:\"|?*";

void write_int32_le(std::ostream& out, std::int32_t value) {
    std::string bytes;
    append_int32_le(bytes, value);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void copy_scrambled(std::ostream& out, const PayloadFile& file) {
    std::ifstream in(file.source, std::ios::binary);
    char buffer[8192];
    std::uint64_t copied = 0;
    while (in && copied < file.size) {
        in.read(buffer, sizeof buffer);
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) buffer[i] = static_cast<char>(buffer[i] ^ kPayloadKey);
        out.write(buffer, got);
        copied += static_cast<std::uint64_t>(got);
    }
    if (copied != file.size || in.peek() != std::ifstream::traits_type::eof()) {
        throw PackError("payload file " + file.source.string() + " changed or became unreadable while it was packed");
    }
}

// The launcher's reading of a numeric key: optional blanks, optional sign,
// digits up to the first non-digit, 0 when there are none.
long long leading_integer(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 1LL << 31);
    }
    return negative ? -value : value;
}

std::vector<std::string> split_names(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string value_or_empty(const std::map<std::int32_t, std::string>& records, std::int32_t key) {
    const auto found = records.find(key);
    return found == records.end() ? std::string() : found->second;
}

}  // namespace

std::string payload_name_problem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    for (char ch : name) {
        if (static_cast<unsigned char>(ch) < 0x20) return "the name contains a control character";
        if (kForbiddenNameCharacters.find(ch) != std::string_view::npos) {
            return std::string("the name contains '") + ch + "'";
        }
    }
    return {};
}

std::string payload_name_list(const std::vector<PayloadFile>& files) {
    std::string list;
    for (const PayloadFile& file : files) list += file.name + ";";
    return list;
}

void write_payload(std::ostream& out, const std::vector<PayloadFile>& files) {
    for (const PayloadFile& file : files) {
        write_int32_le(out, static_cast<std::int32_t>(file.size));
        copy_scrambled(out, file);
    }
}

std::vector<PayloadEntry> read_payload_index(std::string_view image, std::size_t offset, const ConfigBlock& block) {
    const long long count = leading_integer(value_or_empty(block.narrow, kPayloadCountKey));
    std::vector<PayloadEntry> entries;
    ByteReader reader(image, offset);
    for (const std::string& name : split_names(value_or_empty(block.narrow, kPayloadNamesKey))) {
        if (static_cast<long long>(entries.size()) >= count) break;
        const std::string file = "payload file " + cp1252_to_utf8(name);
        const std::int32_t size = reader.int32("length of " + file);
        reader.bytes(size > 0 ? static_cast<std::size_t>(size) : 0, "content of " + file);
        entries.push_back({name, size});
    }
    return entries;
}

}  // namespace kestrel
