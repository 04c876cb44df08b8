// kestrel-pack: builds launchers from the stub and a project file, and
// inspects launchers and stubs.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "commands.h"

namespace {

namespace fs = std::filesystem;

// A file installed beside the packer: <packer dir>/../<relative>, such as
// the stub in ../stub/kestrel-stub.exe.
fs::path beside_packer(const char* argv0, const fs::path& relative) {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) self = fs::absolute(argv0);
    return (self.parent_path() / ".." / relative).lexically_normal();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kestrel-pack: builds and inspects kestrel launchers"};
    app.require_subcommand(1);

    kestrel::BuildRequest request;
    request.stub = beside_packer(argv[0], "stub/kestrel-stub.exe");
    request.runtime_jar = beside_packer(argv[0], "java/kestrel-runtime.jar");
    CLI::App* build = app.add_subcommand("build", "Build a launcher from a project file");
    build->add_option("project", request.project, "Project file (TOML)")->required();
    build->add_option("-o,--output", request.output, "Launcher to write")->required();
    build->add_option("--stub", request.stub, "Launcher stub to start from")->capture_default_str();
    build->add_option("--runtime-jar", request.runtime_jar,
                      "The launcher's Java-side runtime, added to the payload unless the project opts out")
        ->capture_default_str();

    fs::path launcher;
    CLI::App* inspect = app.add_subcommand("inspect", "List the configuration and payload of a launcher");
    inspect->add_option("launcher", launcher, "Launcher executable")->required();

    fs::path stub;
    CLI::App* check_stub = app.add_subcommand("check-stub", "Check the header layout of a bare stub");
    check_stub->add_option("stub", stub, "Stub executable")->required();

    CLI11_PARSE(app, argc, argv);
    try {
        if (build->parsed()) kestrel::run_build(request, std::cout);
        if (inspect->parsed()) kestrel::run_inspect(launcher, std::cout);
        if (check_stub->parsed()) kestrel::run_check_stub(stub, std::cout);
    } catch (const std::exception& error) {
        std::cerr << "kestrel-pack: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
