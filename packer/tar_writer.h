// Writing a gzip-compressed ustar archive the way the launcher's archive
// reader expects it and the same way every time: entries in the order they
// are added, fixed owner, mode and time, forward slashes, two zero blocks at
// the end and nothing behind them.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace kestrel {

// The bytes an entry of `size` data bytes takes in the tar stream: its
// header block and its data padded to whole blocks.
std::uint64_t tar_entry_size(std::uint64_t size);
// The two zero blocks that end an archive.
constexpr std::uint64_t kTarEndSize = 1024;

// A ustar header block. Names longer than 100 bytes are split at a '/' into
// the prefix and name fields; a name that cannot be split is a PackError.
std::string tar_header(std::string_view name, char type, std::uint64_t size, bool executable);

class TarGzWriter {
public:
    explicit TarGzWriter(const std::filesystem::path& output);
    ~TarGzWriter();
    TarGzWriter(const TarGzWriter&) = delete;
    TarGzWriter& operator=(const TarGzWriter&) = delete;

    // `name` with '/' between components; a directory's ends in '/'.
    void add_directory(std::string_view name);
    // The file's size must be `size` when it is read.
    void add_file(std::string_view name, const std::filesystem::path& source, std::uint64_t size, bool executable);
    // Writes the end blocks and flushes; the size of the uncompressed stream.
    std::uint64_t finish();

private:
    void write(std::string_view bytes);
    void deflate_into_file(int flush);

    std::filesystem::path path_;
    std::ofstream file_;
    z_stream stream_{};
    std::uint64_t tar_size_ = 0;
};

}  // namespace kestrel
