// Rebuilding the stub image. The resource section is the last section in
// the file and in memory, so it can grow or shrink without moving anything
// else: only its section header, the image size, the size of initialised
// data and the resource entry of the data directory change. The checksum is
// cleared here and computed over the finished launcher by the builder.
#include "stub_image.h"

#include <algorithm>
#include <tuple>

#include "byte_io.h"
#include "launcher_resources.h"
#include "pack_error.h"
#include "resource_section.h"

namespace kestrel {
namespace {

std::uint64_t align_up(std::uint64_t value, std::uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void check_alignment(std::uint32_t alignment, const char* what) {
    if (alignment == 0 || (alignment & (alignment - 1)) != 0) {
        throw PackError(std::string(what) + " is " + hex(alignment) + ", not a power of two");
    }
}

// A signed stub ends with its certificate table; the signature would not
// cover the launcher, so the table goes and the stub ends with .rsrc again.
void remove_signature(std::string& image, std::vector<std::string>& notes) {
    const PeHeaders headers = parse_pe_headers(image);
    const DataDirectory certificates = data_directory(image, headers, kCertificateDirectory);
    if (certificates.size == 0) return;
    const std::uint64_t image_end = headers.sections.empty() ? 0 : headers.sections.back().raw_end();
    if (certificates.address < image_end || std::uint64_t{certificates.address} + certificates.size > image.size()) {
        throw PackError("the certificate table at " + hex(certificates.address) + " does not lie behind the image");
    }
    const bool only_padding_before = std::all_of(image.begin() + static_cast<std::ptrdiff_t>(image_end),
                                                 image.begin() + certificates.address, [](char c) { return c == '\0'; });
    image.resize(only_padding_before ? image_end : certificates.address);
    put_uint32_le(image, headers.data_directory_offset(kCertificateDirectory), 0);
    put_uint32_le(image, headers.data_directory_offset(kCertificateDirectory) + 4, 0);
    notes.push_back("the stub's Authenticode signature was removed, as it cannot cover the launcher: sign the launcher");
}

void check_architecture(const BuildSettings& settings, Architecture stub) {
    if (settings.architecture && *settings.architecture != stub) {
        throw PackError(std::string("the stub is an ") + architecture_name(stub) + " stub, but launcher.arch is \"" +
                        architecture_name(*settings.architecture) + "\"");
    }
}

const PeSection& resource_section(std::string_view image, const StubLayout& layout) {
    if (layout.headers.data_directory_count <= kResourceDirectory) throw PackError("the image has no resource directory entry");
    const PeSection& section = layout.sections.back();
    const DataDirectory resources = data_directory(image, layout.headers, kResourceDirectory);
    if (resources.address != section.virtual_address) {
        throw PackError("the resource directory at RVA " + hex(resources.address) + " is not the .rsrc section at " +
                        hex(section.virtual_address));
    }
    return section;
}

// The stub with `section` in place of its resource section.
std::string with_resource_section(std::string_view stub, const StubLayout& layout, const std::string& section) {
    const PeHeaders& headers = layout.headers;
    check_alignment(headers.file_alignment, "the file alignment");
    check_alignment(headers.section_alignment, "the section alignment");
    const PeSection& old = layout.sections.back();
    const std::uint64_t raw_size = align_up(section.size(), headers.file_alignment);
    const std::uint64_t image_size = align_up(std::uint64_t{old.virtual_address} + section.size(), headers.section_alignment);
    if (image_size > 0xFFFFFFFFu) throw PackError("the resources make the image larger than 4 GiB");
    std::string image(stub.substr(0, old.raw_offset));
    image += section;
    image.resize(old.raw_offset + raw_size, '\0');

    put_uint32_le(image, old.header_offset + 8, static_cast<std::uint32_t>(section.size()));
    put_uint32_le(image, old.header_offset + 16, static_cast<std::uint32_t>(raw_size));
    put_uint32_le(image, headers.fields.image_size, static_cast<std::uint32_t>(image_size));
    const std::uint32_t initialized = uint32_le_at(image, headers.fields.initialized_data_size);
    put_uint32_le(image, headers.fields.initialized_data_size,
                  static_cast<std::uint32_t>(std::max<std::int64_t>(0, std::int64_t{initialized} - old.raw_size + raw_size)));
    put_uint32_le(image, headers.data_directory_offset(kResourceDirectory) + 4, static_cast<std::uint32_t>(section.size()));
    put_uint32_le(image, headers.fields.checksum, 0);
    return image;
}

bool resource_order(const Resource& a, const Resource& b) {
    return std::tie(a.type, a.name, a.language) < std::tie(b.type, b.name, b.language);
}

// Reads the rebuilt image back as a launcher would: the layout, and the
// resources the section was built from.
StubLayout verify_rebuilt(std::string_view image, std::vector<Resource> expected) {
    const StubLayout layout = check_stub_layout(image, LayoutSubject::BareStub);
    std::vector<Resource> found = read_resources(image, resource_section(image, layout));
    std::sort(expected.begin(), expected.end(), resource_order);
    std::sort(found.begin(), found.end(), resource_order);
    const DataDirectory resources = data_directory(image, layout.headers, kResourceDirectory);
    if (found != expected || resources.size != layout.sections.back().virtual_size) {
        throw PackError("the rebuilt resource section does not read back as it was built");
    }
    return layout;
}

}  // namespace

LauncherStub prepare_launcher_stub(std::string stub, const BuildSettings& settings) {
    LauncherStub result;
    remove_signature(stub, result.notes);
    const StubLayout layout = check_stub_layout(stub, LayoutSubject::BareStub);
    check_architecture(settings, layout.architecture);
    const PeSection& section = resource_section(stub, layout);
    const std::vector<Resource> resources =
        launcher_resources(read_resources(stub, section), settings.resources, layout.architecture);
    result.image = with_resource_section(stub, layout, build_resource_section(resources, section.virtual_address));
    result.layout = verify_rebuilt(result.image, resources);
    return result;
}

}  // namespace kestrel
