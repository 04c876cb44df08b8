// A Java runtime image bundled into a launcher (runtime.bundle): the packer
// walks the directory, checks that it is a runtime the launcher can use, and
// writes it as the payload file jre.tar.gz, which the launcher unpacks into
// "jre" beside it and starts from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "stub_layout.h"

namespace kestrel {

constexpr const char* kRuntimeArchiveName = "jre.tar.gz";

struct BundleEntry {
    std::string name;  // relative, '/' between components, UTF-8; directories end in '/'
    std::filesystem::path source;  // for files: what to read (a link's target)
    bool directory;
    std::uint64_t size;
    bool executable;
};

struct RuntimeBundle {
    std::filesystem::path root;
    std::string preferred_vm;  // java.preferred_vm, tried first by the launcher
    std::vector<BundleEntry> entries;  // each directory before what it holds, names sorted
    std::uint64_t tar_size;            // the uncompressed archive, for the progress bar
};

// Walks `root`. A PackError when it is no directory, holds no bin/java.exe
// or no jvm.dll in a VM directory the launcher tries (`preferred_vm` first,
// when set), or holds a link that points outside it, to a directory or to
// nothing, or anything but files and directories.
RuntimeBundle scan_runtime_image(const std::filesystem::path& root, const std::string& preferred_vm);

// A PackError when no jvm.dll of the bundle can be loaded by a launcher of
// `architecture`: every one is a Windows library for another machine. A file
// that is no Windows image is left to the loader, as the launcher does.
void check_runtime_architecture(const RuntimeBundle& bundle, Architecture architecture);

// Writes the archive; its size.
std::uint64_t write_runtime_archive(const RuntimeBundle& bundle, const std::filesystem::path& output);

}  // namespace kestrel
