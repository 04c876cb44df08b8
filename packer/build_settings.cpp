// The build settings, one reader per setting, and the checks across them.
#include "build_settings.h"

#include <utility>

#include "file_io.h"
#include "pack_error.h"
#include "toml_access.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

template <typename Value>
Value chosen(const toml::node& node, std::initializer_list<std::pair<const char*, Value>> choices) {
    const std::string& word = expect_string(node, "the value");
    std::string expected;
    for (const auto& [name, value] : choices) {
        if (word == name) return value;
        expected += (expected.empty() ? "" : ", ") + std::string(name);
    }
    throw PackError("unknown value '" + word + "' (expected " + expected + ")");
}

fs::path project_path(const toml::node& value, const fs::path& base_directory) {
    const std::string& text = expect_string(value, "the value");
    if (text.empty()) throw PackError("the path is empty");
    return base_directory / fs::u8path(text);
}

}  // namespace

struct BuildSettingsReader::Definition {
    std::string_view table;
    std::string_view name;
    void (BuildSettingsReader::*read)(const toml::node&);
    const char* version_key = nullptr;  // for the texts of [version]: read_version_text
};

const std::vector<BuildSettingsReader::Definition>& BuildSettingsReader::definitions() {
    using R = BuildSettingsReader;
    static const std::vector<Definition> definitions = {
        {"launcher", "arch", &R::read_architecture},
        {"launcher", "icon", &R::read_icon},
        {"runtime", "bundle", &R::read_runtime_bundle},
        {"payload", "runtime_jar", &R::read_runtime_jar},
        {"manifest", "execution_level", &R::read_execution_level},
        {"manifest", "dpi_awareness", &R::read_dpi_awareness},
        {"manifest", "long_path_aware", &R::read_long_path_aware},
        {"version", "file_version", &R::read_file_version},
        {"version", "product_version", &R::read_product_version},
        {"version", "language", &R::read_version_language},
        {"version", "company", nullptr, "CompanyName"},
        {"version", "description", nullptr, "FileDescription"},
        {"version", "internal_name", nullptr, "InternalName"},
        {"version", "copyright", nullptr, "LegalCopyright"},
        {"version", "original_filename", nullptr, "OriginalFilename"},
        {"version", "product_name", nullptr, "ProductName"},
        {"version", "comments", nullptr, "Comments"},
    };
    return definitions;
}

std::vector<std::string> build_setting_tables() {
    return {"manifest", "version"};
}

bool BuildSettingsReader::read(std::string_view table, std::string_view name, const toml::node& value) {
    for (const Definition& definition : definitions()) {
        if (definition.table != table || definition.name != name) continue;
        if (definition.version_key != nullptr) {
            read_version_text(definition.version_key, value);
        } else {
            (this->*definition.read)(value);
        }
        return true;
    }
    return false;
}

void BuildSettingsReader::read_architecture(const toml::node& value) {
    settings_.architecture = chosen(value, {std::pair{"x86", Architecture::X86}, std::pair{"x64", Architecture::X64}});
}

void BuildSettingsReader::read_icon(const toml::node& value) {
    const fs::path file = project_path(value, base_directory_);
    const std::string bytes = read_whole_file(file, "icon");
    settings_.resources.icon = with_context(file.string(), [&] { return read_icon_file(bytes); });
}

void BuildSettingsReader::read_runtime_bundle(const toml::node& value) {
    settings_.runtime_bundle = project_path(value, base_directory_);
}

void BuildSettingsReader::read_runtime_jar(const toml::node& value) {
    settings_.runtime_jar = expect_bool(value, "the value");
}

void BuildSettingsReader::read_execution_level(const toml::node& value) {
    settings_.resources.manifest.execution_level =
        chosen(value, {std::pair{"asInvoker", ExecutionLevel::AsInvoker},
                       std::pair{"requireAdministrator", ExecutionLevel::RequireAdministrator},
                       std::pair{"highestAvailable", ExecutionLevel::HighestAvailable}});
}

void BuildSettingsReader::read_dpi_awareness(const toml::node& value) {
    settings_.resources.manifest.dpi_awareness =
        chosen(value, {std::pair{"PerMonitorV2", DpiAwareness::PerMonitorV2},
                       std::pair{"PerMonitor", DpiAwareness::PerMonitor}, std::pair{"System", DpiAwareness::System},
                       std::pair{"Unaware", DpiAwareness::Unaware}});
}

void BuildSettingsReader::read_long_path_aware(const toml::node& value) {
    settings_.resources.manifest.long_path_aware = expect_bool(value, "the value");
}

void BuildSettingsReader::read_file_version(const toml::node& value) {
    file_version_ = parse_version_numbers(expect_string(value, "the value"));
    has_version_ = true;
}

void BuildSettingsReader::read_product_version(const toml::node& value) {
    product_version_ = parse_version_numbers(expect_string(value, "the value"));
    has_version_ = true;
}

void BuildSettingsReader::read_version_language(const toml::node& value) {
    const std::int64_t language = expect_integer(value, "the value");
    if (language < 0 || language > 0xFFFF) {
        throw PackError("the language " + std::to_string(language) + " is not a Windows language identifier (0 to 0xFFFF)");
    }
    version_language_ = static_cast<std::uint16_t>(language);
    has_version_ = true;
}

void BuildSettingsReader::read_version_text(const char* key, const toml::node& value) {
    const std::string& text = expect_string(value, "the value");
    if (text.find('\0') != std::string::npos) throw PackError("the text contains a NUL character");
    version_texts_[key] = text;
    has_version_ = true;
}

BuildSettings BuildSettingsReader::finish() const {
    BuildSettings settings = settings_;
    if (!has_version_) return settings;
    if (!file_version_) throw PackError("version.file_version is required when [version] is given");
    VersionInfo info;
    info.file_version = *file_version_;
    info.product_version = product_version_.value_or(*file_version_);
    info.language = version_language_;
    std::map<std::string, std::string> texts = version_texts_;
    texts["FileVersion"] = version_text(info.file_version);
    texts["ProductVersion"] = version_text(info.product_version);
    info.strings.assign(texts.begin(), texts.end());
    settings.resources.version = std::move(info);
    return settings;
}

}  // namespace kestrel
