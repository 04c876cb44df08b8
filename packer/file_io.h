// File access for the packer: reading inputs whole, and writing an output so
// that it appears complete or not at all.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace kestrel {

// The whole file; `role` ("stub", "launcher") names it in the error message.
std::string read_whole_file(const std::filesystem::path& path, const std::string& role);

// Writes into a temporary file beside the target and renames it over the
// target on commit(); without commit() the temporary file is removed.
class AtomicOutputFile {
public:
    explicit AtomicOutputFile(const std::filesystem::path& target);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    std::ofstream& stream() { return stream_; }
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
    bool committed_ = false;
};

}  // namespace kestrel
