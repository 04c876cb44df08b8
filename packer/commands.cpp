// Command bodies: read the inputs, do the work, print a short report. Every
// error message names the file it is about.
#include "commands.h"

#include "file_io.h"
#include "inspector.h"
#include "pack_error.h"
#include "report.h"

namespace kestrel {

void run_build(const BuildRequest& request, std::ostream& out) {
    const BuildSummary summary = build_launcher(request);
    out << "wrote " << request.output.string() << ": " << architecture_name(summary.architecture) << ", "
        << summary.file_size << " bytes, configuration block at offset "
        << summary.block_offset << " (" << summary.block_size << " bytes), " << summary.payload_files
        << " payload files\n";
    for (const std::string& note : summary.notes) out << "note: " << note << '\n';
}

void run_inspect(const std::filesystem::path& launcher, std::ostream& out) {
    const std::string image = read_whole_file(launcher, "launcher");
    const LauncherContents contents = with_context(launcher.string(), [&] { return read_launcher(image); });
    print_launcher_contents(out, contents);
}

void run_check_stub(const std::filesystem::path& stub, std::ostream& out) {
    const std::string image = read_whole_file(stub, "stub");
    const StubLayout layout =
        with_context(stub.string(), [&] { return check_stub_layout(image, LayoutSubject::BareStub); });
    out << "stub layout: ok\n";
    print_stub_layout(out, layout);
}

}  // namespace kestrel
