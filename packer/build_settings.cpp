// The build settings, one reader per setting.
#include "build_settings.h"

#include "pack_error.h"
#include "toml_access.h"

namespace kestrel {
namespace {

using Reader = void (*)(const toml::node& value, BuildSettings& settings);

struct BuildSettingDefinition {
    std::string_view table;
    std::string_view name;
    Reader read;
};

void read_architecture(const toml::node& value, BuildSettings& settings) {
    const std::string& word = expect_string(value, "the value");
    for (Architecture architecture : {Architecture::X86, Architecture::X64}) {
        if (word == architecture_name(architecture)) {
            settings.architecture = architecture;
            return;
        }
    }
    throw PackError("unknown value '" + word + "' (expected x86, x64)");
}

void read_runtime_jar_switch(const toml::node& value, BuildSettings& settings) {
    settings.runtime_jar = expect_bool(value, "the value");
}

constexpr BuildSettingDefinition kDefinitions[] = {
    {"launcher", "arch", read_architecture},
    {"payload", "runtime_jar", read_runtime_jar_switch},
};

}  // namespace

std::vector<std::string> build_setting_tables() {
    return {};
}

bool read_build_setting(std::string_view table, std::string_view name, const toml::node& value,
                        BuildSettings& settings) {
    for (const BuildSettingDefinition& definition : kDefinitions) {
        if (definition.table == table && definition.name == name) {
            definition.read(value, settings);
            return true;
        }
    }
    return false;
}

}  // namespace kestrel
