// Little-endian integers in byte strings: appending them when a launcher is
// written, and bounds-checked reading when one is examined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

void append_int32_le(std::string& out, std::int32_t value);
void append_uint16_le(std::string& out, std::uint16_t value);
void append_uint32_le(std::string& out, std::uint32_t value);

// Overwrites bytes that exist already.
void put_uint16_le(std::string& data, std::size_t offset, std::uint16_t value);
void put_uint32_le(std::string& data, std::size_t offset, std::uint32_t value);

// Unchecked reads at a fixed offset; the caller has made sure the bytes exist.
std::uint16_t uint16_le_at(std::string_view data, std::size_t offset);
std::uint32_t uint32_le_at(std::string_view data, std::size_t offset);

// Sequential reader that fails with a PackError naming the field it could
// not read in full.
class ByteReader {
public:
    ByteReader(std::string_view data, std::size_t position);

    std::int32_t int32(const std::string& field);
    std::string_view bytes(std::size_t count, const std::string& field);
    std::size_t position() const { return position_; }

private:
    void require(std::size_t count, const std::string& field) const;

    std::string_view data_;
    std::size_t position_;
};

}  // namespace kestrel
