// The ustar header (POSIX.1-1988): name 100, mode 8, uid 8, gid 8, size 12,
// mtime 12, checksum 8, type 1, link name 100, "ustar\0" "00", user and
// group names 32 each, device numbers 8 each, prefix 155. Numbers are octal
// text ending in NUL; the checksum is the sum of the header's bytes with its
// own field counted as spaces. gzip comes from zlib with a header of time 0.
#include "tar_writer.h"

#include <cstdio>

#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kNameField = 100;
constexpr std::size_t kPrefixField = 155;
// 2000-01-01T00:00:00Z, the date the project's jars carry as well.
constexpr std::uint64_t kEntryTime = 946684800;
constexpr std::uint64_t kLargestSize = 077777777777;  // eleven octal digits
constexpr int kGzipWindowBits = 15 + 16;
constexpr std::size_t kChunk = 64 * 1024;

void put_octal(std::string& header, std::size_t offset, std::size_t width, std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llo", static_cast<int>(width - 1), static_cast<unsigned long long>(value));
    header.replace(offset, width, text, width);  // the digits and their NUL
}

void put_text(std::string& header, std::size_t offset, std::string_view text) {
    header.replace(offset, text.size(), text);
}

// Splits a long name at the last '/' that leaves at most 100 bytes behind it
// and at most 155 before it.
std::pair<std::string_view, std::string_view> split_name(std::string_view name) {
    if (name.size() <= kNameField) return {{}, name};
    const std::string_view body = name.back() == '/' ? name.substr(0, name.size() - 1) : name;
    for (std::size_t slash = body.rfind('/'); slash != std::string_view::npos && slash > 0;
         slash = body.rfind('/', slash - 1)) {
        if (name.size() - slash - 1 > kNameField) break;
        if (slash <= kPrefixField) return {name.substr(0, slash), name.substr(slash + 1)};
    }
    throw PackError("the path " + std::string(name) + " (" + std::to_string(name.size()) +
                    " bytes) does not fit a tar header (100 bytes of name, 155 of directories before them)");
}

}  // namespace

std::uint64_t tar_entry_size(std::uint64_t size) {
    return kBlock + (size + kBlock - 1) / kBlock * kBlock;
}

std::string tar_header(std::string_view name, char type, std::uint64_t size, bool executable) {
    if (size > kLargestSize) throw PackError("the file " + std::string(name) + " is larger than a tar entry (8 GiB)");
    const auto [prefix, short_name] = split_name(name);
    std::string header(kBlock, '\0');
    put_text(header, 0, short_name);
    put_octal(header, 100, 8, type == '5' || executable ? 0755 : 0644);
    put_octal(header, 108, 8, 0);
    put_octal(header, 116, 8, 0);
    put_octal(header, 124, 12, size);
    put_octal(header, 136, 12, kEntryTime);
    header[156] = type;
    put_text(header, 257, std::string_view("ustar\0" "00", 8));
    put_text(header, 345, prefix);
    put_text(header, 148, "        ");
    unsigned checksum = 0;
    for (char c : header) checksum += static_cast<unsigned char>(c);
    put_octal(header, 148, 7, checksum);  // six digits and a NUL; the eighth byte stays a space
    return header;
}

TarGzWriter::TarGzWriter(const std::filesystem::path& output) : path_(output), file_(output, std::ios::binary) {
    if (!file_) throw PackError("cannot create the runtime archive " + output.string());
    if (deflateInit2(&stream_, Z_BEST_COMPRESSION, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw PackError("cannot start the compression of " + output.string());
    }
}

TarGzWriter::~TarGzWriter() {
    deflateEnd(&stream_);
}

void TarGzWriter::add_directory(std::string_view name) {
    write(tar_header(name, '5', 0, true));
}

void TarGzWriter::add_file(std::string_view name, const std::filesystem::path& source, std::uint64_t size,
                           bool executable) {
    write(tar_header(name, '0', size, executable));
    std::ifstream in(source, std::ios::binary);
    std::string buffer(kChunk, '\0');
    std::uint64_t copied = 0;
    while (in && copied < size) {
        in.read(buffer.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(kChunk, size - copied)));
        write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
        copied += static_cast<std::uint64_t>(in.gcount());
    }
    if (copied != size || in.peek() != std::ifstream::traits_type::eof()) {
        throw PackError("the runtime file " + source.string() + " changed or became unreadable while it was packed");
    }
    write(std::string((kBlock - size % kBlock) % kBlock, '\0'));
}

std::uint64_t TarGzWriter::finish() {
    write(std::string(kTarEndSize, '\0'));
    deflate_into_file(Z_FINISH);
    file_.close();
    if (!file_) throw PackError("cannot write the runtime archive " + path_.string());
    return tar_size_;
}

void TarGzWriter::write(std::string_view bytes) {
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream_.avail_in = static_cast<uInt>(bytes.size());
    tar_size_ += bytes.size();
    deflate_into_file(Z_NO_FLUSH);
}

void TarGzWriter::deflate_into_file(int flush) {
    char out[kChunk];
    int result = Z_OK;
    do {
        stream_.next_out = reinterpret_cast<Bytef*>(out);
        stream_.avail_out = sizeof out;
        result = deflate(&stream_, flush);
        if (result == Z_STREAM_ERROR) throw PackError("the compression of " + path_.string() + " failed");
        file_.write(out, static_cast<std::streamsize>(sizeof out - stream_.avail_out));
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    if (!file_) throw PackError("cannot write the runtime archive " + path_.string());
}

}  // namespace kestrel
