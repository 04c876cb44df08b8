// Listing resources: one line per resource, followed by what the icon
// groups, the manifest and the version resource say.
#include "resource_report.h"

#include <cstdio>

#include "icon_file.h"
#include "manifest.h"
#include "pack_error.h"
#include "report.h"
#include "version_info.h"

namespace kestrel {
namespace {

std::string or_unset(const std::string& text) {
    return text.empty() ? "(not set)" : text;
}

void print_icon_group(std::ostream& out, const Resource& group) {
    out << "    images:";
    for (const IconGroupEntry& entry : read_icon_group(group.data)) {
        out << ' ' << entry.width << 'x' << entry.height << '/' << entry.bit_count << " (icon " << entry.id << ')';
    }
    out << '\n';
}

void print_manifest(std::ostream& out, const Resource& manifest) {
    const DeclaredManifest declared = read_manifest(manifest.data);
    out << "    execution level: " << or_unset(declared.execution_level) << '\n'
        << "    DPI awareness: " << or_unset(declared.dpi_awareness) << '\n'
        << "    long path aware: " << or_unset(declared.long_path_aware) << '\n'
        << "    common controls 6: " << (declared.common_controls_6 ? "yes" : "no") << '\n';
}

void print_version(std::ostream& out, const Resource& version) {
    const VersionInfo info = parse_version_resource(version.data);
    char translation[48];
    std::snprintf(translation, sizeof translation, "language 0x%04X, code page %u", info.language, info.codepage);
    out << "    file version: " << version_text(info.file_version) << '\n'
        << "    product version: " << version_text(info.product_version) << '\n'
        << "    " << translation << '\n';
    for (const auto& [key, text] : info.strings) out << "    " << key << " = " << quote_for_display(text) << '\n';
}

void print_details(std::ostream& out, const Resource& resource) {
    if (resource.type == ResourceId::of(kIconGroupResource)) print_icon_group(out, resource);
    if (resource.type == ResourceId::of(kManifestResource)) print_manifest(out, resource);
    if (resource.type == ResourceId::of(kVersionResource)) print_version(out, resource);
}

}  // namespace

void print_resources(std::ostream& out, const std::vector<Resource>& resources) {
    out << "resources: " << resources.size() << '\n';
    for (const Resource& resource : resources) {
        out << "  " << describe_resource(resource) << ' ' << resource.data.size() << " bytes\n";
        with_context(describe_resource(resource), [&] { print_details(out, resource); });
    }
}

}  // namespace kestrel
