// Whole-file reads and the temporary-file-and-rename output.
#include "file_io.h"

#include <algorithm>
#include <random>
#include <sstream>

#include "pack_error.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

fs::path unused_temporary_name(const fs::path& target) {
    std::random_device random;
    for (;;) {
        fs::path candidate = target;
        candidate += ".tmp" + std::to_string(random() % 1000000);
        if (!fs::exists(candidate)) return candidate;
    }
}

}  // namespace

std::string read_whole_file(const fs::path& path, const std::string& role) {
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (fs::is_directory(path, error) || !in) throw PackError("cannot read the " + role + " " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) throw PackError("cannot read the " + role + " " + path.string());
    return content.str();
}

std::string read_file_start(const fs::path& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    std::string start(limit, '\0');
    in.read(start.data(), static_cast<std::streamsize>(limit));
    start.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
    return start;
}

void overwrite_file_bytes(const fs::path& path, std::uint64_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw PackError("cannot write the output file " + path.string());
}

ScratchFile::ScratchFile(const fs::path& target) : path_(unused_temporary_name(target)) {}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    fs::remove(path_, ignored);
}

AtomicOutputFile::AtomicOutputFile(const fs::path& target)
    : target_(target), temporary_(unused_temporary_name(target)) {
    stream_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!stream_) throw PackError("cannot create a file in the directory of the output " + target_.string());
}

AtomicOutputFile::~AtomicOutputFile() {
    if (committed_) return;
    stream_.close();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

void AtomicOutputFile::commit(const std::function<void(const fs::path& written)>& finish) {
    stream_.close();
    if (!stream_) throw PackError("cannot write the output file " + temporary_.string());
    if (finish) finish(temporary_);
    std::error_code error;
    fs::rename(temporary_, target_, error);
    if (error) throw PackError("cannot move the output into place at " + target_.string() + ": " + error.message());
    committed_ = true;
}

}  // namespace kestrel
