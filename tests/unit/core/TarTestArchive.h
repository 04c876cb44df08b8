// TarTestArchive.h — tar bytes written by the tests: header blocks with a
// proper checksum, entries with their padding, GNU long names, pax records.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace tartest {

constexpr size_t Block = 512;
const std::string PosixMagic("ustar\0" "00", 8);
const std::string GnuMagic("ustar  \0", 8);

// Writes the checksum field from the block's bytes, the field counted as blanks.
inline void Seal(std::string& block) {
    memset(&block[148], ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : block) sum += c;
    char field[8];
    snprintf(field, sizeof field, "%06o", sum);
    memcpy(&block[148], field, 7);  // six digits and a NUL; the blank stays
}

// A header block; `prefix` goes to offset 345 (the POSIX ustar prefix).
inline std::string Header(const std::string& name, char type, uint64_t size, const std::string& magic = PosixMagic,
                          const std::string& prefix = "") {
    std::string block(Block, '\0');
    memcpy(&block[0], name.data(), name.size() < 100 ? name.size() : 100);
    memcpy(&block[100], "0000644", 7);
    char sizeField[16];
    snprintf(sizeField, sizeof sizeField, "%011llo", static_cast<unsigned long long>(size));
    memcpy(&block[124], sizeField, 11);
    block[156] = type;
    memcpy(&block[257], magic.data(), magic.size());
    memcpy(&block[345], prefix.data(), prefix.size() < 155 ? prefix.size() : 155);
    Seal(block);
    return block;
}

inline std::string Padding(uint64_t size) { return std::string((Block - size % Block) % Block, '\0'); }

inline std::string Entry(const std::string& name, char type, const std::string& data,
                         const std::string& magic = PosixMagic) {
    return Header(name, type, data.size(), magic) + data + Padding(data.size());
}

inline std::string File(const std::string& name, const std::string& data) { return Entry(name, '0', data); }
inline std::string Directory(const std::string& name) { return Entry(name, '5', ""); }

// A GNU long-name entry (its data the name and a NUL) followed by the file.
inline std::string GnuLongFile(const std::string& name, const std::string& data) {
    return Entry("././@LongLink", 'L', name + '\0', GnuMagic) + Entry(name.substr(0, 100), '0', data, GnuMagic);
}

// One pax record "<length> <keyword>=<value>\n", the length counting itself.
inline std::string PaxRecord(const std::string& keyword, const std::string& value) {
    std::string body = " " + keyword + "=" + value + "\n";
    size_t length = body.size() + 1;
    while (std::to_string(length).size() + body.size() != length) ++length;
    return std::to_string(length) + body;
}

// A pax extended header with `records`, then the file under a cut name.
inline std::string PaxFile(const std::string& records, const std::string& name, const std::string& data) {
    return Entry("PaxHeaders/x", 'x', records) + Entry(name.substr(0, 100), '0', data);
}

inline std::string EndBlocks() { return std::string(2 * Block, '\0'); }

// Bytes that differ from file to file.
inline std::string Pattern(size_t size, int seed) {
    std::string out(size, '\0');
    for (size_t i = 0; i < size; ++i) out[i] = char((i * 31 + seed + i / 509) & 0xFF);
    return out;
}

}  // namespace tartest
