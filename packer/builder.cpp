// Building a launcher. Everything that can be checked is checked before the
// output is opened; the output is written beside its target and renamed into
// place only when complete.
#include "builder.h"

#include <limits>
#include <vector>

#include "config_block.h"
#include "file_io.h"
#include "pack_error.h"
#include "project.h"
#include "stub_layout.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

struct NamedInput {
    std::string role;
    fs::path path;
};

std::vector<NamedInput> inputs_of(const BuildRequest& request, const fs::path& stub, const LauncherProject& project) {
    std::vector<NamedInput> inputs{{"project file", request.project}, {"stub", stub}};
    for (const PayloadFile& file : project.payload) inputs.push_back({"payload file", file.source});
    return inputs;
}

void check_output_path(const fs::path& output, const std::vector<NamedInput>& inputs) {
    std::error_code error;
    if (fs::is_directory(output, error)) throw PackError("the output " + output.string() + " is a directory");
    if (!fs::exists(output, error)) return;
    for (const NamedInput& input : inputs) {
        if (fs::equivalent(output, input.path, error)) {
            throw PackError("the output " + output.string() + " is the " + input.role + " " + input.path.string());
        }
    }
}

fs::path chosen_stub(const BuildRequest& request, const BuildSettings& settings) {
    if (!request.stub.empty()) return request.stub;
    return request.stub_directory / default_stub_name(settings.architecture.value_or(Architecture::X86));
}

// A stub named on the command line may be of either architecture unless the
// project asks for one.
void check_architecture(const BuildSettings& settings, Architecture stub) {
    if (settings.architecture && *settings.architecture != stub) {
        throw PackError(std::string("the stub is an ") + architecture_name(stub) + " stub, but launcher.arch is \"" +
                        architecture_name(*settings.architecture) + "\"");
    }
}

std::uint64_t payload_size(const std::vector<PayloadFile>& files) {
    std::uint64_t size = 0;
    for (const PayloadFile& file : files) size += 4 + file.size;
    return size;
}

}  // namespace

const char* default_stub_name(Architecture architecture) {
    return architecture == Architecture::X86 ? "kestrel-stub.exe" : "kestrel-stub64.exe";
}

BuildSummary build_launcher(const BuildRequest& request) {
    const LauncherProject project = load_project(request.project, request.runtime_jar);
    const fs::path stub_path = chosen_stub(request, project.build);
    const std::string stub = read_whole_file(stub_path, "stub");
    const StubLayout layout = with_context(stub_path.string(), [&] {
        StubLayout checked = check_stub_layout(stub, LayoutSubject::BareStub);
        check_architecture(project.build, checked.architecture);
        return checked;
    });
    check_output_path(request.output, inputs_of(request, stub_path, project));

    const std::string block = serialize_config_block(project.block);
    const BuildSummary summary{layout.architecture, layout.block_offset, block.size(), project.payload.size(),
                               stub.size() + block.size() + payload_size(project.payload)};
    if (summary.file_size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        throw PackError("the launcher would be larger than 2 GiB, which its 32-bit offsets cannot address");
    }
    AtomicOutputFile output(request.output);
    output.stream() << stub << block;
    write_payload(output.stream(), project.payload);
    output.commit();
    return summary;
}

}  // namespace kestrel
