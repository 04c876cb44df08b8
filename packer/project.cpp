// The project reader. Named settings are read table by table, then the raw
// [keys] and [wide_keys], then defaults fill the keys still unset, so
// that a key set twice is reported with both of its setters.
#include "project.h"

#include <toml++/toml.h>

#include <algorithm>
#include <charconv>
#include <map>

#include "ConfigKeys.h"
#include "file_io.h"
#include "key_assignments.h"
#include "pack_error.h"
#include "payload_list.h"
#include "setting_values.h"
#include "settings_schema.h"
#include "toml_access.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct RawKeyTable {
    const char* name;
    bool wide;
};

constexpr RawKeyTable kRawKeyTables[] = {{"keys", false}, {"wide_keys", true}};

bool is_raw_key_table(std::string_view name) {
    for (const RawKeyTable& raw : kRawKeyTables) {
        if (name == raw.name) return true;
    }
    return false;
}

toml::table parse_document(const fs::path& file) {
    const std::string text = read_whole_file(file, "project file");
    try {
        return toml::parse(text, file.string());
    } catch (const toml::parse_error& error) {
        const toml::source_position where = error.source().begin;
        const std::string position = where ? ":" + std::to_string(where.line) + ":" + std::to_string(where.column) : "";
        throw PackError(file.string() + position + ": " + std::string(error.description()));
    }
}

class ProjectReader {
public:
    ProjectReader(const fs::path& file, const fs::path& runtime_jar)
        : file_(file.string()),
          base_directory_(file.parent_path()),
          runtime_jar_(runtime_jar),
          build_reader_(base_directory_) {}

    LauncherProject read(const toml::table& document) {
        check_table_names(document);
        for (const std::string& table : named_tables()) {
            if (const toml::node* node = document.get(table)) read_named_table(table, *node);
        }
        build_ = with_context(file_, [&] { return build_reader_.finish(); });
        if (!build_.runtime_bundle.empty()) read_runtime_bundle();
        finish_payload();
        for (const RawKeyTable& raw : kRawKeyTables) {
            if (const toml::node* node = document.get(raw.name)) read_raw_keys(raw, *node);
        }
        apply_defaults();
        return {keys_.block(), payload_, build_, runtime_bundle_};
    }

private:
    [[noreturn]] void fail(const toml::node& node, const std::string& message) const {
        throw PackError(source_location(file_, node) + ": " + message);
    }

    static std::vector<std::string> named_tables() {
        std::vector<std::string> tables = setting_tables();
        for (const std::string& table : build_setting_tables()) tables.push_back(table);
        return tables;
    }

    void check_table_names(const toml::table& document) const {
        const std::vector<std::string> tables = named_tables();
        for (const auto& [name, node] : document) {
            const bool named = std::find(tables.begin(), tables.end(), name.str()) != tables.end();
            if (!named && !is_raw_key_table(name.str()))
                fail(node, "unknown table or setting '" + std::string(name.str()) + "'");
            if (!node.is_table()) fail(node, "'" + std::string(name.str()) + "' must be a table");
        }
    }

    void read_named_table(const std::string& table, const toml::node& node) {
        for (const auto& [name, value] : *node.as_table()) {
            if (read_build_setting_at(table, std::string(name.str()), value)) continue;
            const SettingDefinition* definition = find_setting(table, name.str());
            if (definition == nullptr) fail(value, "unknown setting " + table + "." + std::string(name.str()));
            read_setting(*definition, value);
        }
    }

    void read_setting(const SettingDefinition& definition, const toml::node& value) {
        const Origin origin{source_location(file_, value), definition.full_name()};
        if (definition.kind == SettingKind::PayloadFiles) {
            read_payload(value, origin);
            return;
        }
        const auto texts = with_context(origin.context(), [&] { return setting_key_texts(definition, value); });
        for (const KeyText& text : texts) keys_.assign(text.key, definition.wide, text.text, origin);
    }

    void read_payload(const toml::node& value, const Origin& origin) {
        payload_ = with_context(origin.context(), [&] { return read_payload_list(value, base_directory_); });
        payload_origin_ = origin;
    }

    bool read_build_setting_at(const std::string& table, const std::string& name, const toml::node& value) {
        const Origin origin{source_location(file_, value), table + "." + name};
        const bool read =
            with_context(origin.context(), [&] { return build_reader_.read(table, name, value); });
        if (read) build_origins_.insert_or_assign(origin.setting, origin);
        return read;
    }

    // Where a build setting was read; just the file when it was not.
    Origin build_origin(const std::string& setting) const {
        const auto found = build_origins_.find(setting);
        return found == build_origins_.end() ? Origin{file_, setting} : found->second;
    }

    // The bundled runtime's archive size is the progress key; its archive
    // joins the payload.
    void read_runtime_bundle() {
        const Origin origin = build_origin("runtime.bundle");
        with_context(origin.context(), [&] {
            const auto preferred = keys_.block().narrow.find(Key::PreferredVM);
            runtime_bundle_ = scan_runtime_image(
                build_.runtime_bundle, preferred == keys_.block().narrow.end() ? "" : preferred->second);
            add_generated_file(payload_, kRuntimeArchiveName, "the bundled runtime (rename it, or leave out runtime.bundle)");
        });
        keys_.assign(Key::ArchiveSize, false, std::to_string(runtime_bundle_->tar_size), origin);
    }

    // The launcher runtime joins the files of payload.files; the payload keys
    // count and name them all.
    void finish_payload() {
        if (build_.runtime_jar && !runtime_jar_.empty())
            with_context(build_origin("payload.runtime_jar").context(), [&] { add_runtime_jar(payload_, runtime_jar_); });
        if (payload_.empty()) return;
        const SettingDefinition& files = *find_setting("payload", "files");
        keys_.assign(files.companion_key, false, std::to_string(payload_.size()), payload_origin_);
        keys_.assign(files.key, false, payload_name_list(payload_), payload_origin_);
    }

    void read_raw_keys(const RawKeyTable& raw, const toml::node& node) {
        for (const auto& [name, value] : *node.as_table()) {
            const Origin origin{source_location(file_, value), std::string(raw.name) + "." + std::string(name.str())};
            const std::int32_t key = parse_key(name.str(), origin);
            if (!raw.wide && (key == kPayloadCountKey || key == kPayloadNamesKey)) {
                throw PackError(origin.context() + ": key " + std::to_string(key) + " is written from payload.files");
            }
            const std::string& text = with_context(
                origin.context(), [&]() -> const std::string& { return expect_string(value, "the value"); });
            keys_.assign(key, raw.wide, text, origin);
        }
    }

    static std::int32_t parse_key(std::string_view name, const Origin& origin) {
        std::int32_t key = 0;
        const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), key);
        if (error != std::errc() || end != name.data() + name.size()) {
            throw PackError(origin.context() + ": '" + std::string(name) + "' is not a 32-bit integer key");
        }
        return key;
    }

    void apply_defaults() {
        for (const SettingDefinition& definition : setting_definitions()) {
            if (definition.default_text.empty() || keys_.contains(definition.key, definition.wide)) continue;
            const toml::value<std::string> value(definition.default_text);
            read_setting(definition, value);
        }
    }

    std::string file_;
    fs::path base_directory_;
    KeyAssignments keys_;
    std::vector<PayloadFile> payload_;
    Origin payload_origin_{file_, "payload.files"};
    fs::path runtime_jar_;
    BuildSettingsReader build_reader_;
    BuildSettings build_;
    std::optional<RuntimeBundle> runtime_bundle_;
    std::map<std::string, Origin> build_origins_;
};

}  // namespace

LauncherProject load_project(const fs::path& project_file, const fs::path& runtime_jar) {
    return ProjectReader(project_file, runtime_jar).read(parse_document(project_file));
}

}  // namespace kestrel
