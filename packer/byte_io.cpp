// Little-endian integer helpers and the bounds-checked byte reader.
#include "byte_io.h"

#include "pack_error.h"

namespace kestrel {

void append_int32_le(std::string& out, std::int32_t value) {
    append_uint32_le(out, static_cast<std::uint32_t>(value));
}

void append_uint16_le(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void append_uint32_le(std::string& out, std::uint32_t value) {
    append_uint16_le(out, static_cast<std::uint16_t>(value & 0xFFFF));
    append_uint16_le(out, static_cast<std::uint16_t>(value >> 16));
}

void put_uint16_le(std::string& data, std::size_t offset, std::uint16_t value) {
    data[offset] = static_cast<char>(value & 0xFF);
    data[offset + 1] = static_cast<char>(value >> 8);
}

void put_uint32_le(std::string& data, std::size_t offset, std::uint32_t value) {
    put_uint16_le(data, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    put_uint16_le(data, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t uint16_le_at(std::string_view data, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[offset]) |
                                      static_cast<unsigned char>(data[offset + 1]) << 8);
}

std::uint32_t uint32_le_at(std::string_view data, std::size_t offset) {
    return uint16_le_at(data, offset) | static_cast<std::uint32_t>(uint16_le_at(data, offset + 2)) << 16;
}

ByteReader::ByteReader(std::string_view data, std::size_t position) : data_(data), position_(position) {}

void ByteReader::require(std::size_t count, const std::string& field) const {
    const std::size_t left = position_ <= data_.size() ? data_.size() - position_ : 0;
    if (count > left) {
        throw PackError("truncated: " + field + " at offset " + std::to_string(position_) + " needs " +
                        std::to_string(count) + " bytes, the file has " + std::to_string(left) + " left");
    }
}

std::int32_t ByteReader::int32(const std::string& field) {
    require(4, field);
    const auto value = static_cast<std::int32_t>(uint32_le_at(data_, position_));
    position_ += 4;
    return value;
}

std::string_view ByteReader::bytes(std::size_t count, const std::string& field) {
    require(count, field);
    const std::string_view result = data_.substr(position_, count);
    position_ += count;
    return result;
}

}  // namespace kestrel
