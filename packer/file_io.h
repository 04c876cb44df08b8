// File access for the packer: reading inputs whole, and writing an output so
// that it appears complete or not at all.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace kestrel {

// The whole file; `role` ("stub", "launcher") names it in the error message.
std::string read_whole_file(const std::filesystem::path& path, const std::string& role);

// At most the first `limit` bytes of a file; empty when it cannot be read.
std::string read_file_start(const std::filesystem::path& path, std::size_t limit);

// Overwrites bytes of an existing file in place.
void overwrite_file_bytes(const std::filesystem::path& path, std::uint64_t offset, const std::string& bytes);

// A name for a file beside `target` that is removed with everything in it
// when this object goes; nothing is created until someone writes there.
class ScratchFile {
public:
    explicit ScratchFile(const std::filesystem::path& target);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes into a temporary file beside the target and renames it over the
// target on commit(); without commit() the temporary file is removed. The
// function given to commit() sees the complete temporary file first; it may
// change it in place, or refuse it with a PackError.
class AtomicOutputFile {
public:
    explicit AtomicOutputFile(const std::filesystem::path& target);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    std::ofstream& stream() { return stream_; }
    void commit(const std::function<void(const std::filesystem::path& written)>& finish = {});

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
    bool committed_ = false;
};

}  // namespace kestrel
