// Writing and reading the configuration block.
#include "config_block.h"

#include "byte_io.h"
#include "pack_error.h"

namespace kestrel {
namespace {

void append_records(std::string& out, const std::map<std::int32_t, std::string>& records) {
    append_int32_le(out, static_cast<std::int32_t>(records.size()));
    for (const auto& [key, value] : records) {
        append_int32_le(out, key);
        append_int32_le(out, static_cast<std::int32_t>(value.size()));
        out += value;
    }
}

std::map<std::int32_t, std::string> read_records(ByteReader& reader, const std::string& kind) {
    std::map<std::int32_t, std::string> records;
    const std::int32_t count = reader.int32(kind + " record count");
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t key = reader.int32(kind + " record key");
        const std::string field = kind + " record " + std::to_string(key);
        const std::int32_t length = reader.int32(field + " length");
        if (length < 0) throw PackError(field + " has the negative length " + std::to_string(length));
        if (kind == "wide" && length % 2 != 0) {
            throw PackError(field + " has the odd byte length " + std::to_string(length));
        }
        records[key] = std::string(reader.bytes(static_cast<std::size_t>(length), field + " value"));
    }
    return records;
}

}  // namespace

std::string serialize_config_block(const ConfigBlock& block) {
    std::string out;
    append_int32_le(out, static_cast<std::int32_t>(kConfigMagic));
    append_records(out, block.narrow);
    append_records(out, block.wide);
    return out;
}

ParsedBlock parse_config_block(std::string_view image, std::size_t offset) {
    if (offset == image.size()) throw PackError("no configuration block: the file ends with the stub image");
    ByteReader reader(image, offset);
    const auto magic = static_cast<std::uint32_t>(reader.int32("configuration block magic"));
    if (magic != kConfigMagic) {
        throw PackError("no configuration block: wrong magic number at offset " + std::to_string(offset));
    }
    ParsedBlock parsed;
    parsed.block.narrow = read_records(reader, "narrow");
    parsed.block.wide = read_records(reader, "wide");
    parsed.payload_offset = reader.position();
    return parsed;
}

}  // namespace kestrel
