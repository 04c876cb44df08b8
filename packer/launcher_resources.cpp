// Replacing resources in the stub's list. New resources take the language of
// the ones they replace; a version resource is language neutral, so that
// Windows finds it whatever the user's language.
#include "launcher_resources.h"

#include <algorithm>
#include <set>

#include "pack_error.h"

namespace kestrel {
namespace {

constexpr std::uint16_t kNeutralLanguage = 0;
constexpr std::uint16_t kManifestId = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
constexpr std::uint16_t kVersionId = 1;

// Removes every resource of `type` and `name`; the language of the first one
// removed, or `fallback` when there was none.
std::uint16_t remove_resource(std::vector<Resource>& resources, const ResourceId& type, const ResourceId& name,
                              std::uint16_t fallback) {
    std::uint16_t language = fallback;
    bool found = false;
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [&](const Resource& resource) {
                                       if (resource.type != type || resource.name != name) return false;
                                       if (!found) language = resource.language;
                                       found = true;
                                       return true;
                                   }),
                    resources.end());
    return language;
}

std::set<std::uint16_t> icons_of_groups(const std::vector<Resource>& resources) {
    std::set<std::uint16_t> ids;
    for (const Resource& resource : resources) {
        if (resource.type != ResourceId::of(kIconGroupResource)) continue;
        for (const IconGroupEntry& entry : read_icon_group(resource.data)) ids.insert(entry.id);
    }
    return ids;
}

// Removes the main group and the icons only it uses; the group's language.
std::uint16_t remove_main_icon(std::vector<Resource>& resources) {
    const ResourceId group = ResourceId::named(kMainIconName);
    const std::set<std::uint16_t> before = icons_of_groups(resources);
    const std::uint16_t language =
        remove_resource(resources, ResourceId::of(kIconGroupResource), group, kNeutralLanguage);
    const std::set<std::uint16_t> still_used = icons_of_groups(resources);
    for (std::uint16_t id : before) {
        if (still_used.count(id) == 0) remove_resource(resources, ResourceId::of(kIconResource), ResourceId::of(id), 0);
    }
    return language;
}

// The lowest icon numbers no icon resource has.
std::vector<std::uint16_t> free_icon_ids(const std::vector<Resource>& resources, std::size_t count) {
    std::set<std::uint16_t> taken;
    for (const Resource& resource : resources) {
        if (resource.type == ResourceId::of(kIconResource) && !resource.name.is_name()) taken.insert(resource.name.number);
    }
    std::vector<std::uint16_t> ids;
    for (std::uint32_t id = 1; ids.size() < count && id <= 0xFFFF; ++id) {
        if (taken.count(static_cast<std::uint16_t>(id)) == 0) ids.push_back(static_cast<std::uint16_t>(id));
    }
    if (ids.size() < count) throw PackError("no icon numbers are left for the images of the icon");
    return ids;
}

void replace_main_icon(std::vector<Resource>& resources, const std::vector<IconImage>& images) {
    const std::uint16_t language = remove_main_icon(resources);
    const std::vector<std::uint16_t> ids = free_icon_ids(resources, images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        resources.push_back({ResourceId::of(kIconResource), ResourceId::of(ids[i]), language, images[i].data});
    }
    resources.push_back({ResourceId::of(kIconGroupResource), ResourceId::named(kMainIconName), language,
                         icon_group(images, ids)});
}

}  // namespace

std::vector<Resource> launcher_resources(std::vector<Resource> resources, const ResourceSettings& settings,
                                         Architecture architecture) {
    const std::uint16_t manifest_language = remove_resource(resources, ResourceId::of(kManifestResource),
                                                            ResourceId::of(kManifestId), kNeutralLanguage);
    resources.push_back({ResourceId::of(kManifestResource), ResourceId::of(kManifestId), manifest_language,
                         launcher_manifest(settings.manifest, architecture)});
    remove_resource(resources, ResourceId::of(kVersionResource), ResourceId::of(kVersionId), kNeutralLanguage);
    if (settings.version) {
        resources.push_back({ResourceId::of(kVersionResource), ResourceId::of(kVersionId), kNeutralLanguage,
                             version_resource(*settings.version)});
    }
    if (!settings.icon.empty()) replace_main_icon(resources, settings.icon);
    return resources;
}

}  // namespace kestrel
