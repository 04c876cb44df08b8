// Settings of a project file that write no launcher key but steer the build:
// which stub to start from, the resources the launcher carries (icon,
// version information, manifest), a runtime image to bundle, and whether the
// launcher's Java-side runtime joins the payload. The project reader hands
// every setting to read_build_setting first and treats it as a launcher key
// only when this declines it.
#pragma once

#include <toml++/toml.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "icon_file.h"
#include "manifest.h"
#include "stub_layout.h"
#include "version_info.h"

namespace kestrel {

// What the launcher's resource section gets from the project.
struct ResourceSettings {
    ManifestSettings manifest;
    std::optional<VersionInfo> version;  // unset: no version resource
    std::vector<IconImage> icon;         // empty: the stub's own icon stays
};

struct BuildSettings {
    // launcher.arch; unset: the stub decides, and the default stub is the x86 one.
    std::optional<Architecture> architecture;
    ResourceSettings resources;
    // runtime.bundle: a runtime image to pack as jre.tar.gz; empty: none.
    std::filesystem::path runtime_bundle;
    // payload.runtime_jar: add the launcher's Java-side runtime to the payload.
    bool runtime_jar = true;
};

// Tables that hold only build settings (beside the tables of launcher keys).
std::vector<std::string> build_setting_tables();

// Collects the build settings of one project file; paths are taken relative
// to its directory.
class BuildSettingsReader {
public:
    explicit BuildSettingsReader(std::filesystem::path base_directory) : base_directory_(std::move(base_directory)) {}

    // Reads `value` when table.name is a build setting and returns true;
    // returns false for any other setting. A bad value is a PackError
    // without position; the caller puts the setting in front.
    bool read(std::string_view table, std::string_view name, const toml::node& value);

    // The settings once every one is read; a [version] table without
    // file_version is a PackError.
    BuildSettings finish() const;

private:
    struct Definition;
    static const std::vector<Definition>& definitions();

    void read_architecture(const toml::node& value);
    void read_icon(const toml::node& value);
    void read_runtime_bundle(const toml::node& value);
    void read_runtime_jar(const toml::node& value);
    void read_execution_level(const toml::node& value);
    void read_dpi_awareness(const toml::node& value);
    void read_long_path_aware(const toml::node& value);
    void read_file_version(const toml::node& value);
    void read_product_version(const toml::node& value);
    void read_version_language(const toml::node& value);
    void read_version_text(const char* key, const toml::node& value);

    std::filesystem::path base_directory_;
    BuildSettings settings_;
    bool has_version_ = false;
    std::optional<VersionNumbers> file_version_;
    std::optional<VersionNumbers> product_version_;
    std::map<std::string, std::string> version_texts_;  // version-resource key -> text
    std::uint16_t version_language_ = VersionInfo{}.language;
};

}  // namespace kestrel
