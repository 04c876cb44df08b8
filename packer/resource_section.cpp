// Reading and writing resource sections. Written sections have the layout
// resource compilers give them: all directories (root, types, names), then
// the data entries, then the name strings, then the data, each piece of data
// starting on an 8-byte boundary. Time stamps and versions are zero, so the
// bytes depend on the resources alone.
#include "resource_section.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "byte_io.h"
#include "pack_error.h"
#include "utf.h"

namespace kestrel {
namespace {

constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kDataAlignment = 8;
constexpr int kLanguageLevel = 2;

std::size_t align_up(std::size_t value, std::size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

std::string utf16_bytes(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) append_uint16_le(bytes, static_cast<std::uint16_t>(unit));
    return bytes;
}

class ResourceReader {
public:
    ResourceReader(std::string_view section, std::uint32_t rva) : section_(section), rva_(rva) {}

    std::vector<Resource> read() {
        read_directory(0, 0, Resource{});
        return std::move(resources_);
    }

private:
    void require(std::size_t offset, std::size_t count, const char* what) const {
        if (offset > section_.size() || count > section_.size() - offset) {
            throw PackError(std::string(what) + " at " + hex(offset) + " lies outside the resource section");
        }
    }

    ResourceId read_id(std::uint32_t field, int level) const {
        if ((field & kSubdirectoryFlag) == 0) return ResourceId::of(static_cast<std::uint16_t>(field));
        if (level == kLanguageLevel) throw PackError("a resource language is a name, not a number");
        const std::size_t at = field & ~kSubdirectoryFlag;
        require(at, 2, "a resource name");
        const std::size_t length = uint16_le_at(section_, at);
        require(at + 2, 2 * length, "a resource name");
        std::u16string name;
        for (std::size_t i = 0; i < length; ++i) name.push_back(static_cast<char16_t>(uint16_le_at(section_, at + 2 + 2 * i)));
        return ResourceId::named(std::move(name));
    }

    void read_directory(std::size_t offset, int level, const Resource& partial) {
        require(offset, kDirectoryHeaderSize, "a resource directory");
        if (!visited_.insert(offset).second) throw PackError("the resource directories form a loop");
        const std::size_t count = std::size_t{uint16_le_at(section_, offset + 12)} + uint16_le_at(section_, offset + 14);
        require(offset + kDirectoryHeaderSize, count * kDirectoryEntrySize, "a resource directory");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = offset + kDirectoryHeaderSize + i * kDirectoryEntrySize;
            Resource resource = partial;
            const ResourceId id = read_id(uint32_le_at(section_, entry), level);
            if (level == 0) resource.type = id;
            if (level == 1) resource.name = id;
            if (level == kLanguageLevel) resource.language = id.number;
            read_target(uint32_le_at(section_, entry + 4), level, resource);
        }
    }

    void read_target(std::uint32_t target, int level, Resource& resource) {
        const bool subdirectory = (target & kSubdirectoryFlag) != 0;
        if (subdirectory != (level < kLanguageLevel)) {
            throw PackError(std::string("resource ") + describe_resource(resource) +
                            (subdirectory ? " has more than three directory levels" : " has fewer than three directory levels"));
        }
        if (subdirectory) {
            read_directory(target & ~kSubdirectoryFlag, level + 1, resource);
            return;
        }
        require(target, kDataEntrySize, "a resource data entry");
        const std::uint32_t data_rva = uint32_le_at(section_, target);
        const std::uint32_t size = uint32_le_at(section_, target + 4);
        resource.codepage = uint32_le_at(section_, target + 8);
        if (data_rva < rva_) throw PackError("the data of resource " + describe_resource(resource) + " lies before the resource section");
        require(data_rva - rva_, size, ("the data of resource " + describe_resource(resource)).c_str());
        resource.data = std::string(section_.substr(data_rva - rva_, size));
        resources_.push_back(std::move(resource));
    }

    std::string_view section_;
    std::uint32_t rva_;
    std::set<std::size_t> visited_;
    std::vector<Resource> resources_;
};

// The resources grouped by type, then name; languages in order within.
using Languages = std::vector<const Resource*>;
using NameLevel = std::map<ResourceId, Languages>;
using TypeLevel = std::map<ResourceId, NameLevel>;

TypeLevel group(const std::vector<Resource>& resources) {
    TypeLevel types;
    for (const Resource& resource : resources) {
        Languages& languages = types[resource.type][resource.name];
        for (const Resource* other : languages) {
            if (other->language == resource.language) {
                throw PackError("resource " + describe_resource(resource) + " is there twice");
            }
        }
        languages.push_back(&resource);
    }
    for (auto& [type, names] : types) {
        for (auto& [name, languages] : names) {
            std::sort(languages.begin(), languages.end(),
                      [](const Resource* a, const Resource* b) { return a->language < b->language; });
        }
    }
    return types;
}

class SectionWriter {
public:
    SectionWriter(const TypeLevel& types, std::uint32_t rva) : types_(types), rva_(rva) { plan(); }

    // Directories are reserved level by level as their parents are written,
    // so each level lies together: root, types, names, languages.
    std::string write() {
        out_.assign(data_start_, '\0');
        std::vector<std::pair<std::size_t, const NameLevel*>> name_directories;
        std::vector<std::pair<std::size_t, const Languages*>> language_directories;
        write_directory(reserve_directory(types_.size()), types_, [&](const NameLevel& names) {
            const std::size_t directory = reserve_directory(names.size());
            name_directories.emplace_back(directory, &names);
            return directory;
        });
        for (const auto& [at, names] : name_directories) {
            write_directory(at, *names, [&](const Languages& languages) {
                const std::size_t directory = reserve_directory(languages.size());
                language_directories.emplace_back(directory, &languages);
                return directory;
            });
        }
        for (const auto& [at, languages] : language_directories) write_language_directory(at, *languages);
        return std::move(out_);
    }

private:
    // Sizes of the directories, data entries and strings, which fix where
    // the data begins.
    void plan() {
        std::size_t directories = kDirectoryHeaderSize + types_.size() * kDirectoryEntrySize;
        std::size_t resources = 0;
        std::size_t strings = 0;
        for (const auto& [type, names] : types_) {
            strings += string_size(type);
            directories += kDirectoryHeaderSize + names.size() * kDirectoryEntrySize;
            for (const auto& [name, languages] : names) {
                strings += string_size(name);
                directories += kDirectoryHeaderSize + languages.size() * kDirectoryEntrySize;
                resources += languages.size();
            }
        }
        next_data_entry_ = directories;
        next_string_ = next_data_entry_ + resources * kDataEntrySize;
        data_start_ = align_up(next_string_ + strings, kDataAlignment);
    }

    static std::size_t string_size(const ResourceId& id) { return id.is_name() ? 2 + 2 * id.name.size() : 0; }

    std::size_t reserve_directory(std::size_t entries) {
        const std::size_t at = next_directory_;
        next_directory_ += kDirectoryHeaderSize + entries * kDirectoryEntrySize;
        return at;
    }

    std::uint32_t id_field(const ResourceId& id) {
        if (!id.is_name()) return id.number;
        const std::size_t at = next_string_;
        put_uint16_le(out_, at, static_cast<std::uint16_t>(id.name.size()));
        out_.replace(at + 2, 2 * id.name.size(), utf16_bytes(id.name));
        next_string_ += string_size(id);
        return static_cast<std::uint32_t>(at) | kSubdirectoryFlag;
    }

    void write_header(std::size_t at, std::size_t named, std::size_t numbered) {
        put_uint16_le(out_, at + 12, static_cast<std::uint16_t>(named));
        put_uint16_le(out_, at + 14, static_cast<std::uint16_t>(numbered));
    }

    // A type or name directory; `directory_of` reserves the subdirectory of a child.
    template <typename Level, typename DirectoryOf>
    void write_directory(std::size_t at, const Level& level, DirectoryOf directory_of) {
        const auto named = static_cast<std::size_t>(
            std::count_if(level.begin(), level.end(), [](const auto& item) { return item.first.is_name(); }));
        write_header(at, named, level.size() - named);
        std::size_t entry = at + kDirectoryHeaderSize;
        for (const auto& [id, child] : level) {
            put_uint32_le(out_, entry, id_field(id));
            put_uint32_le(out_, entry + 4, static_cast<std::uint32_t>(directory_of(child)) | kSubdirectoryFlag);
            entry += kDirectoryEntrySize;
        }
    }

    void write_language_directory(std::size_t at, const Languages& languages) {
        write_header(at, 0, languages.size());
        std::size_t entry = at + kDirectoryHeaderSize;
        for (const Resource* resource : languages) {
            put_uint32_le(out_, entry, resource->language);
            put_uint32_le(out_, entry + 4, static_cast<std::uint32_t>(next_data_entry_));
            entry += kDirectoryEntrySize;
            write_data(*resource);
        }
    }

    void write_data(const Resource& resource) {
        const std::size_t at = align_up(out_.size(), kDataAlignment);
        out_.resize(at, '\0');
        out_ += resource.data;
        put_uint32_le(out_, next_data_entry_, static_cast<std::uint32_t>(rva_ + at));
        put_uint32_le(out_, next_data_entry_ + 4, static_cast<std::uint32_t>(resource.data.size()));
        put_uint32_le(out_, next_data_entry_ + 8, resource.codepage);
        next_data_entry_ += kDataEntrySize;
    }

    const TypeLevel& types_;
    std::uint32_t rva_;
    std::string out_;
    std::size_t next_directory_ = 0;
    std::size_t next_data_entry_ = 0;
    std::size_t next_string_ = 0;
    std::size_t data_start_ = 0;
};

std::string id_text(const ResourceId& id, bool type) {
    if (id.is_name()) return utf16le_to_utf8(utf16_bytes(id.name));
    if (type) {
        static const std::map<std::uint16_t, const char*> kTypeNames = {
            {kIconResource, "ICON"},       {kDialogResource, "DIALOG"},     {kIconGroupResource, "GROUP_ICON"},
            {kVersionResource, "VERSION"}, {kManifestResource, "MANIFEST"}};
        const auto found = kTypeNames.find(id.number);
        if (found != kTypeNames.end()) return found->second;
    }
    return std::to_string(id.number);
}

}  // namespace

bool ResourceId::operator<(const ResourceId& other) const {
    if (is_name() != other.is_name()) return is_name();
    return is_name() ? name < other.name : number < other.number;
}

bool Resource::operator==(const Resource& other) const {
    return std::tie(type, name, language, data, codepage) ==
           std::tie(other.type, other.name, other.language, other.data, other.codepage);
}

std::vector<Resource> read_resources(std::string_view image, const PeSection& section) {
    if (section.raw_end() > image.size()) throw PackError("the resource section runs past the end of the file");
    return ResourceReader(image.substr(section.raw_offset, section.raw_size), section.virtual_address).read();
}

std::string build_resource_section(std::vector<Resource> resources, std::uint32_t section_rva) {
    return SectionWriter(group(resources), section_rva).write();
}

std::string describe_resource(const Resource& resource) {
    return id_text(resource.type, true) + " " + id_text(resource.name, false) + " (" +
           std::to_string(resource.language) + ")";
}

}  // namespace kestrel
