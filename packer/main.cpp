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

// Help and --version are printed as asked; every other problem with the
// command line is one line that points to --help, with exit status 2.
int report_command_line(const CLI::App& app, const CLI::ParseError& error, int argc) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
    const std::string problem = argc <= 1 ? "no command given (build, inspect or check-stub)" : error.what();
    std::cerr << "kestrel-pack: " << problem << " (see kestrel-pack --help)\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"kestrel-pack: builds and inspects kestrel launchers"};
    app.require_subcommand(1);
    app.set_version_flag("--version", std::string("kestrel-pack ") + KESTREL_VERSION);

    kestrel::BuildRequest request;
    request.stub_directory = beside_packer(argv[0], "stub");
    request.runtime_jar = beside_packer(argv[0], "java/kestrel-runtime.jar");
    CLI::App* build = app.add_subcommand("build", "Build a launcher from a project file");
    build->add_option("project", request.project, "Project file (TOML)")->required();
    build->add_option("-o,--output", request.output, "Launcher to write")->required();
    build->add_option("--stub", request.stub,
                      "Launcher stub to start from (default: ../stub/kestrel-stub.exe beside the packer, or "
                      "kestrel-stub64.exe when launcher.arch is \"x64\")");
    build->add_option("--runtime-jar", request.runtime_jar,
                      "The launcher's Java-side runtime, added to the payload unless the project opts out")
        ->capture_default_str();

    fs::path launcher;
    CLI::App* inspect = app.add_subcommand("inspect", "List the configuration and payload of a launcher");
    inspect->add_option("launcher", launcher, "Launcher executable")->required();

    fs::path stub;
    CLI::App* check_stub = app.add_subcommand("check-stub", "Check the header layout of a bare stub");
    check_stub->add_option("stub", stub, "Stub executable")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return report_command_line(app, error, argc);
    }
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
