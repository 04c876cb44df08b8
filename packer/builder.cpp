// Building a launcher. Everything that can be checked is checked before the
// output is opened; the output is written beside its target, read back the
// way the launcher reads itself, given its checksum, and renamed into place
// only then.
#include "builder.h"

#include <limits>
#include <vector>

#include "byte_io.h"
#include "config_block.h"
#include "file_io.h"
#include "inspector.h"
#include "pack_error.h"
#include "project.h"
#include "runtime_bundle.h"
#include "stub_image.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Enough of a file to hold the headers of any stub.
constexpr std::size_t kHeaderBytes = 64 * 1024;

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

// Whether the launcher about to be replaced carried a signature.
bool is_signed(const fs::path& file) {
    const std::string start = read_file_start(file, kHeaderBytes);
    try {
        return data_directory(start, parse_pe_headers(start), kCertificateDirectory).size != 0;
    } catch (const PackError&) {
        return false;
    }
}

// Writes the archive of the bundled runtime and makes it the source of the
// payload entry that stands for it.
void pack_runtime_bundle(const RuntimeBundle& bundle, const fs::path& archive, std::vector<PayloadFile>& payload) {
    for (PayloadFile& file : payload) {
        if (file.name != kRuntimeArchiveName) continue;
        file.size = write_runtime_archive(bundle, archive);
        file.source = archive;
    }
}

std::uint64_t payload_size(const std::vector<PayloadFile>& files) {
    std::uint64_t size = 0;
    for (const PayloadFile& file : files) size += 4 + file.size;
    return size;
}

// The written launcher must read back with its block and payload where they
// were written; then it gets its checksum.
void finish_output(const fs::path& written, const BuildSummary& summary) {
    const std::string image = read_whole_file(written, "output");
    const LauncherContents contents = with_context(written.string(), [&] { return read_launcher(image); });
    if (contents.layout.block_offset != summary.block_offset || contents.payload.size() != summary.payload_files ||
        image.size() != summary.file_size) {
        throw PackError(written.string() + ": the written launcher does not read back as it was built");
    }
    std::string checksum;
    append_uint32_le(checksum, pe_checksum(image, contents.layout.headers.fields.checksum));
    overwrite_file_bytes(written, contents.layout.headers.fields.checksum, checksum);
}

}  // namespace

const char* default_stub_name(Architecture architecture) {
    return architecture == Architecture::X86 ? "kestrel-stub.exe" : "kestrel-stub64.exe";
}

BuildSummary build_launcher(const BuildRequest& request) {
    LauncherProject project = load_project(request.project, request.runtime_jar);
    const fs::path stub_path = chosen_stub(request, project.build);
    std::string stub_bytes = read_whole_file(stub_path, "stub");
    const LauncherStub stub =
        with_context(stub_path.string(), [&] { return prepare_launcher_stub(std::move(stub_bytes), project.build); });
    check_output_path(request.output, inputs_of(request, stub_path, project));
    const ScratchFile runtime_archive(request.output.string() + ".jre");
    if (project.runtime_bundle) {
        with_context("runtime.bundle", [&] { check_runtime_architecture(*project.runtime_bundle, stub.layout.architecture); });
        pack_runtime_bundle(*project.runtime_bundle, runtime_archive.path(), project.payload);
    }

    const std::string block = serialize_config_block(project.block);
    BuildSummary summary{stub.layout.architecture, stub.layout.block_offset, block.size(), project.payload.size(),
                         stub.image.size() + block.size() + payload_size(project.payload), stub.notes};
    if (summary.file_size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        throw PackError("the launcher would be larger than 2 GiB, which its 32-bit offsets cannot address");
    }
    if (is_signed(request.output)) {
        summary.notes.push_back("the signature of the launcher replaced at " + request.output.string() +
                                " does not carry over: sign the new launcher");
    }
    AtomicOutputFile output(request.output);
    output.stream() << stub.image << block;
    write_payload(output.stream(), project.payload);
    output.commit([&](const fs::path& written) { finish_output(written, summary); });
    return summary;
}

}  // namespace kestrel
