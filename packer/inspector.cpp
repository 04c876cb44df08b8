// Reading a launcher image the way the launcher itself finds its data.
#include "inspector.h"

namespace kestrel {

LauncherContents read_launcher(std::string_view image) {
    LauncherContents contents;
    contents.layout = check_stub_layout(image, LayoutSubject::Launcher);
    contents.resources = read_resources(image, contents.layout.sections.back());
    contents.certificates = data_directory(image, contents.layout.headers, kCertificateDirectory);
    contents.parsed = parse_config_block(image, contents.layout.block_offset);
    contents.payload = read_payload_index(image, contents.parsed.payload_offset, contents.parsed.block);
    return contents;
}

}  // namespace kestrel
