// Payload entries: a source path, or a table with a source and a name. Names
// must be valid Windows file names in Windows-1252, distinct without regard
// to case as they will be on the target's file system.
#include "payload_list.h"

#include <fstream>
#include <limits>
#include <map>
#include <optional>

#include "cp1252.h"
#include "pack_error.h"
#include "toml_access.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::uint64_t readable_file_size(const fs::path& path, const std::string& what) {
    std::error_code error;
    const bool regular = fs::is_regular_file(path, error);
    if (!regular || !std::ifstream(path, std::ios::binary)) {
        throw PackError(what + ": cannot read the file " + path.string());
    }
    const std::uint64_t size = fs::file_size(path);
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        throw PackError(what + ": " + path.string() + " is larger than 2 GiB");
    }
    return size;
}

PayloadFile read_entry(const toml::node& node, const fs::path& base_directory, const std::string& what) {
    std::string source;
    std::optional<std::string> name;
    if (node.is_table()) {
        const toml::table& table = expect_table(node, what, {"source", "name"});
        source = optional_string(table, "source", what).value_or("");
        name = optional_string(table, "name", what);
    } else {
        source = expect_string(node, what);
    }
    if (source.empty()) throw PackError(what + " has no source file");
    const fs::path path = base_directory / fs::u8path(source);
    const std::string file_name = name.value_or(fs::u8path(source).filename().u8string());
    const std::string problem = payload_name_problem(file_name);
    if (!problem.empty()) throw PackError(what + ": cannot use '" + file_name + "' as a file name: " + problem);
    return {path, file_name, readable_file_size(path, what)};
}

std::string folded_name(const std::string& name) {
    return cp1252_fold_case(utf8_to_cp1252(name));
}

// Names are compared in Windows-1252 with case folded, so a name that has no
// Windows-1252 form is reported here too.
void check_distinct_names(const std::vector<PayloadFile>& files) {
    std::map<std::string, std::string> seen;  // folded name -> name as written
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& name = files[i].name;
        std::string folded;
        try {
            folded = folded_name(name);
        } catch (const PackError& error) {
            throw PackError("entry " + std::to_string(i + 1) + ": the name '" + name + "': " + error.what());
        }
        const auto [earlier, added] = seen.emplace(folded, name);
        if (!added) {
            throw PackError("entry " + std::to_string(i + 1) + ": the name '" + name + "' is already used by '" +
                            earlier->second + "' (names are compared without regard to case)");
        }
    }
}

void check_name_free(const std::vector<PayloadFile>& files, const std::string& name, const std::string& owner) {
    for (const PayloadFile& file : files) {
        if (folded_name(file.name) == folded_name(name)) {
            throw PackError("the payload file '" + file.name + "' takes the name " + name + " of " + owner);
        }
    }
}

}  // namespace

std::vector<PayloadFile> read_payload_list(const toml::node& files, const std::filesystem::path& base_directory) {
    std::vector<PayloadFile> result;
    const toml::array& entries = expect_array(files, "the value");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        result.push_back(read_entry(entries[i], base_directory, "entry " + std::to_string(i + 1)));
    }
    check_distinct_names(result);
    return result;
}

void add_generated_file(std::vector<PayloadFile>& files, const std::string& name, const std::string& owner) {
    check_name_free(files, name, owner);
    files.push_back({{}, name, 0});
}

void add_runtime_jar(std::vector<PayloadFile>& files, const std::filesystem::path& jar) {
    check_name_free(files, kRuntimeJarName, "the launcher runtime (rename it, or set payload.runtime_jar = false)");
    const std::uint64_t size = readable_file_size(
        jar, "the launcher runtime (built by 'make java'; --runtime-jar names another)");
    files.push_back({jar, kRuntimeJarName, size});
}

}  // namespace kestrel
