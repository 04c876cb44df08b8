// Walking and checking a runtime image, and writing its archive. Names are
// sorted byte by byte within each directory, so the same tree always gives
// the same archive. A link to a file inside the image is stored as a copy of
// that file, since the launcher's archive reader passes links over.
#include "runtime_bundle.h"

#include <algorithm>

#include "file_io.h"
#include "pack_error.h"
#include "pe_image.h"
#include "tar_writer.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// The VM directories the launcher tries below bin, in its order.
constexpr const char* kVmDirectories[] = {"hotspot", "client", "server", "classic"};
constexpr std::size_t kHeaderBytes = 64 * 1024;

bool is_inside(const fs::path& path, const fs::path& root) {
    const auto [root_end, path_end] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
    return root_end == root.end();
}

class ImageWalker {
public:
    explicit ImageWalker(const fs::path& root) : root_(fs::canonical(root)) {}

    std::vector<BundleEntry> walk() {
        walk_directory(root_, "");
        return std::move(entries_);
    }

private:
    void walk_directory(const fs::path& directory, const std::string& prefix) {
        std::vector<fs::path> children;
        for (const fs::directory_entry& child : fs::directory_iterator(directory)) children.push_back(child.path());
        std::sort(children.begin(), children.end(),
                  [](const fs::path& a, const fs::path& b) { return a.filename().native() < b.filename().native(); });
        for (const fs::path& child : children) add(child, prefix + child.filename().u8string());
    }

    void add(const fs::path& path, const std::string& name) {
        const fs::file_status status = fs::symlink_status(path);
        if (fs::is_symlink(status)) {
            add_link(path, name);
        } else if (fs::is_directory(status)) {
            entries_.push_back({name + "/", path, true, 0, true});
            walk_directory(path, name + "/");
        } else if (fs::is_regular_file(status)) {
            entries_.push_back({name, path, false, fs::file_size(path), is_executable(status)});
        } else {
            throw PackError(name + " is neither a file nor a directory");
        }
    }

    void add_link(const fs::path& path, const std::string& name) {
        std::error_code error;
        const fs::path target = fs::canonical(path, error);
        if (error) throw PackError(name + " is a link to nothing (" + fs::read_symlink(path).string() + ")");
        if (!is_inside(target, root_)) {
            throw PackError(name + " is a link to " + target.string() + ", outside the runtime image");
        }
        const fs::file_status status = fs::status(target);
        if (!fs::is_regular_file(status)) {
            throw PackError(name + " is a link to a directory; put the directory itself there");
        }
        entries_.push_back({name, target, false, fs::file_size(target), is_executable(status)});
    }

    static bool is_executable(const fs::file_status& status) {
        return (status.permissions() & fs::perms::owner_exec) != fs::perms::none;
    }

    fs::path root_;
    std::vector<BundleEntry> entries_;
};

const BundleEntry* find_entry(const std::vector<BundleEntry>& entries, const std::string& name) {
    for (const BundleEntry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// The jvm.dll files of the VM directories the launcher tries, in its order.
std::vector<const BundleEntry*> vm_libraries(const RuntimeBundle& bundle) {
    std::vector<std::string> directories;
    if (!bundle.preferred_vm.empty()) directories.push_back(bundle.preferred_vm);
    directories.insert(directories.end(), std::begin(kVmDirectories), std::end(kVmDirectories));
    std::vector<const BundleEntry*> libraries;
    for (const std::string& directory : directories) {
        const BundleEntry* library = find_entry(bundle.entries, "bin/" + directory + "/jvm.dll");
        if (library != nullptr && std::find(libraries.begin(), libraries.end(), library) == libraries.end())
            libraries.push_back(library);
    }
    return libraries;
}

// The machine of a Windows image, or 0 for a file that is none.
std::uint16_t machine_of(const fs::path& file) {
    const std::string start = read_file_start(file, kHeaderBytes);
    try {
        return parse_pe_headers(start).machine;
    } catch (const PackError&) {
        return 0;
    }
}

std::string machine_name(std::uint16_t machine) {
    if (machine == kMachineI386) return "an x86 library";
    if (machine == kMachineAmd64) return "an x64 library";
    return "a library for machine " + hex(machine);
}

}  // namespace

RuntimeBundle scan_runtime_image(const fs::path& root, const std::string& preferred_vm) {
    std::error_code error;
    if (!fs::is_directory(root, error)) throw PackError(root.string() + " is not a directory");
    RuntimeBundle bundle{root, preferred_vm, ImageWalker(root).walk(), kTarEndSize};
    if (find_entry(bundle.entries, "bin/java.exe") == nullptr) throw PackError(root.string() + " has no bin/java.exe: it is not a Java runtime image");
    if (vm_libraries(bundle).empty()) {
        throw PackError(root.string() + " has no jvm.dll in bin/" + (preferred_vm.empty() ? "" : preferred_vm + ", bin/") +
                        "hotspot, bin/client, bin/server or bin/classic");
    }
    for (const BundleEntry& entry : bundle.entries) bundle.tar_size += tar_entry_size(entry.size);
    return bundle;
}

void check_runtime_architecture(const RuntimeBundle& bundle, Architecture architecture) {
    const std::uint16_t wanted = architecture == Architecture::X86 ? kMachineI386 : kMachineAmd64;
    std::string found;
    for (const BundleEntry* library : vm_libraries(bundle)) {
        const std::uint16_t machine = machine_of(library->source);
        if (machine == wanted || machine == 0) return;
        found += (found.empty() ? "" : "; ") + library->name + " is " + machine_name(machine);
    }
    throw PackError(found + ": an " + architecture_name(architecture) + " launcher cannot load it (launcher.arch)");
}

std::uint64_t write_runtime_archive(const RuntimeBundle& bundle, const fs::path& output) {
    TarGzWriter archive(output);
    for (const BundleEntry& entry : bundle.entries) {
        if (entry.directory) {
            archive.add_directory(entry.name);
        } else {
            archive.add_file(entry.name, entry.source, entry.size, entry.executable);
        }
    }
    const std::uint64_t written = archive.finish();
    if (written != bundle.tar_size) throw PackError("the runtime archive came out at another size than planned");
    return fs::file_size(output);
}

}  // namespace kestrel
