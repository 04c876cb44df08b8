// Key assignment with conflict detection, encoding and format checks.
#include "key_assignments.h"

#include "cp1252.h"
#include "pack_error.h"
#include "printf_format.h"
#include "settings_schema.h"
#include "utf.h"

namespace kestrel {
namespace {

// The launcher copies every value into a buffer of 8192 bytes (narrow) or
// 8192 UTF-16 units (wide) with its terminator; a longer value would be cut
// without a word, so it is refused here.
constexpr std::size_t kLongestValue = 8191;

void check_length(bool wide, const std::string& encoded) {
    const std::size_t length = wide ? encoded.size() / 2 : encoded.size();
    if (length <= kLongestValue) return;
    const char* unit = wide ? " UTF-16 units" : " bytes";
    throw PackError("the value is " + std::to_string(length) + unit + " long; the launcher reads at most " +
                    std::to_string(kLongestValue) + unit + " of a setting");
}

void check_format(std::int32_t key, bool wide, const std::string& text) {
    const SettingDefinition* definition = setting_for_key(key, wide);
    if (definition == nullptr || definition->format.empty()) return;
    if (printf_argument_kinds(text) != definition->format) {
        throw PackError("key " + std::to_string(key) + " is a format that must take exactly " +
                        definition->format_rule);
    }
}

}  // namespace

void KeyAssignments::assign(std::int32_t key, bool wide, const std::string& utf8_text, const Origin& origin) {
    const auto [setter, added] = setters_.emplace(std::make_pair(wide, key), origin.setting);
    if (!added) {
        throw PackError(origin.context() + ": key " + std::to_string(key) + " is already set by " + setter->second);
    }
    with_context(origin.context(), [&] {
        check_format(key, wide, utf8_text);
        std::string encoded = wide ? utf8_to_utf16le(utf8_text) : utf8_to_cp1252(utf8_text);
        check_length(wide, encoded);
        (wide ? block_.wide : block_.narrow)[key] = std::move(encoded);
    });
}

bool KeyAssignments::contains(std::int32_t key, bool wide) const {
    return setters_.count(std::make_pair(wide, key)) != 0;
}

}  // namespace kestrel
