// Bundling a runtime image: the walk (order, links, what is refused), the
// architecture check of its jvm.dll, and the archive itself, which must be
// the same every time and read by GNU tar as what the launcher expects.
#include "runtime_bundle.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdlib>

#include "byte_io.h"
#include "pack_error.h"
#include "tar_writer.h"
#include "test_support.h"

namespace kestrel {
namespace {

namespace fs = std::filesystem;
using testing::read_file;

class RuntimeBundleTest : public ::testing::Test {
protected:
    RuntimeBundleTest() {
        image_ = dir_ / "image";
        dir_.write("image/bin/java.exe", "java");
        dir_.write("image/bin/server/jvm.dll", testing::make_stub64());
        dir_.write("image/lib/modules", std::string(1000, 'm'));
        dir_.write("image/release", "JAVA_VERSION=\"21\"\n");
        fs::create_directories(image_ / "conf/empty");
        fs::permissions(image_ / "bin/java.exe", fs::perms::owner_exec, fs::perm_options::add);
    }

    std::string scan_error(const std::string& preferred_vm = "") {
        try {
            scan_runtime_image(image_, preferred_vm);
        } catch (const PackError& error) {
            return error.what();
        }
        return "(no error)";
    }

    std::string architecture_error(Architecture architecture) {
        try {
            check_runtime_architecture(scan_runtime_image(image_, ""), architecture);
        } catch (const PackError& error) {
            return error.what();
        }
        return "(no error)";
    }

    testing::ScratchDir dir_;
    fs::path image_;
};

TEST_F(RuntimeBundleTest, EntriesAreSortedWithEachDirectoryBeforeItsContents) {
    fs::create_symlink("../lib/modules", image_ / "bin/modules-link");
    const RuntimeBundle bundle = scan_runtime_image(image_, "");
    std::vector<std::string> names;
    for (const BundleEntry& entry : bundle.entries) names.push_back(entry.name);
    const std::vector<std::string> expected = {"bin/", "bin/java.exe", "bin/modules-link", "bin/server/",
                                               "bin/server/jvm.dll", "conf/", "conf/empty/", "lib/",
                                               "lib/modules", "release"};
    EXPECT_EQ(names, expected);
    // A link inside the image is stored as the file it names.
    EXPECT_FALSE(bundle.entries[2].directory);
    EXPECT_EQ(bundle.entries[2].size, 1000u);
    EXPECT_TRUE(bundle.entries[1].executable);
    EXPECT_FALSE(bundle.entries[9].executable);
    std::uint64_t size = 1024;
    for (const BundleEntry& entry : bundle.entries) size += tar_entry_size(entry.size);
    EXPECT_EQ(bundle.tar_size, size);
}

TEST_F(RuntimeBundleTest, WhatIsNoUsableRuntimeImageIsRefused) {
    EXPECT_EQ(scan_error(), "(no error)");
    fs::create_symlink("/etc/hostname", image_ / "lib/outside");
    EXPECT_NE(scan_error().find("lib/outside is a link to /etc/hostname, outside the runtime image"), std::string::npos);
    fs::remove(image_ / "lib/outside");
    fs::create_symlink("../../image-old/lib", image_ / "lib/away");
    EXPECT_NE(scan_error().find("lib/away is a link to nothing"), std::string::npos);
    fs::remove(image_ / "lib/away");
    fs::create_symlink("../conf", image_ / "lib/conf");
    EXPECT_NE(scan_error().find("lib/conf is a link to a directory"), std::string::npos);
    fs::remove(image_ / "lib/conf");
    ASSERT_EQ(mkfifo((image_ / "lib/pipe").c_str(), 0600), 0);
    EXPECT_NE(scan_error().find("lib/pipe is neither a file nor a directory"), std::string::npos);
    fs::remove(image_ / "lib/pipe");

    fs::rename(image_ / "bin/server", image_ / "bin/jit");
    EXPECT_NE(scan_error().find("has no jvm.dll in bin/hotspot, bin/client, bin/server or bin/classic"),
              std::string::npos);
    EXPECT_EQ(scan_error("jit"), "(no error)");  // java.preferred_vm names it
    fs::remove(image_ / "bin/java.exe");
    EXPECT_NE(scan_error("jit").find("has no bin/java.exe: it is not a Java runtime image"), std::string::npos);
    fs::remove_all(image_);
    EXPECT_NE(scan_error().find("is not a directory"), std::string::npos);
}

TEST_F(RuntimeBundleTest, SomeJvmDllMustSuitTheLaunchersArchitecture) {
    EXPECT_EQ(architecture_error(Architecture::X64), "(no error)");
    EXPECT_EQ(architecture_error(Architecture::X86),
              "bin/server/jvm.dll is an x64 library: an x86 launcher cannot load it (launcher.arch)");
    // A 32-bit client VM beside it serves the x86 launcher.
    dir_.write("image/bin/client/jvm.dll", testing::make_stub());
    EXPECT_EQ(architecture_error(Architecture::X86), "(no error)");
    // A library that is no Windows image is left to the loader.
    dir_.write("image/bin/client/jvm.dll", "\x7f" "ELF, a Wine-built library");
    EXPECT_EQ(architecture_error(Architecture::X86), "(no error)");
}

std::string gunzip(const std::string& compressed) {
    z_stream stream{};
    inflateInit2(&stream, 15 + 16);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string out;
    char buffer[65536];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    EXPECT_EQ(result, Z_STREAM_END);
    return out;
}

TEST_F(RuntimeBundleTest, TheArchiveIsTheSameEveryTimeAndHoldsTheImage) {
    const RuntimeBundle bundle = scan_runtime_image(image_, "");
    const std::uint64_t size = write_runtime_archive(bundle, dir_ / "first.tar.gz");
    EXPECT_EQ(size, fs::file_size(dir_ / "first.tar.gz"));
    fs::last_write_time(image_ / "release", fs::file_time_type::clock::now() - std::chrono::hours(50));
    write_runtime_archive(bundle, dir_ / "second.tar.gz");
    const std::string compressed = read_file(dir_ / "first.tar.gz");
    EXPECT_EQ(compressed, read_file(dir_ / "second.tar.gz"));
    EXPECT_EQ(uint32_le_at(compressed, 4), 0u);  // no time in the gzip header

    const std::string tar = gunzip(compressed);
    ASSERT_EQ(tar.size(), bundle.tar_size);
    EXPECT_EQ(tar.substr(tar.size() - 1024), std::string(1024, '\0'));
    EXPECT_EQ(tar.substr(0, 5), std::string("bin/\0", 5));
    EXPECT_EQ(tar[156], '5');
    EXPECT_EQ(tar.substr(512 + 257, 8), std::string("ustar\0" "00", 8));
    EXPECT_EQ(tar.substr(1024, 4), "java");  // bin/java.exe's data behind its header
}

TEST_F(RuntimeBundleTest, GnuTarListsWhatTheLauncherWillUnpack) {
    write_runtime_archive(scan_runtime_image(image_, ""), dir_ / "runtime.tar.gz");
    const std::string command = "cd '" + dir_.path().string() +
                                "' && tar --numeric-owner -tvzf runtime.tar.gz > listing.txt 2> errors.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << read_file(dir_ / "errors.txt");
    const std::string listing = read_file(dir_ / "listing.txt");
    for (const char* line : {"drwxr-xr-x 0/0               0 2000-01-01 00:00 bin/\n",
                             "-rwxr-xr-x 0/0               4 2000-01-01 00:00 bin/java.exe\n",
                             "-rw-r--r-- 0/0            1000 2000-01-01 00:00 lib/modules\n",
                             "drwxr-xr-x 0/0               0 2000-01-01 00:00 conf/empty/\n"}) {
        EXPECT_NE(listing.find(line), std::string::npos) << line << "\nin:\n" << listing;
    }
    EXPECT_EQ(read_file(dir_ / "errors.txt"), "");
}

TEST(TarHeader, LongNamesAreSplitIntoPrefixAndName) {
    const std::string directories = std::string(120, 'd') + "/" + std::string(20, 'e');
    const std::string header = tar_header(directories + "/file.txt", '0', 3, false);
    EXPECT_EQ(header.substr(0, 9), std::string("file.txt\0", 9));
    EXPECT_EQ(header.substr(345, directories.size()), directories);
    EXPECT_EQ(header.substr(124, 12), std::string("00000000003") + '\0');
    // No '/' leaves a name of at most 100 bytes: refused.
    EXPECT_THROW(tar_header("dir/" + std::string(101, 'f'), '0', 0, false), PackError);
    EXPECT_THROW(tar_header(std::string(160, 'd') + "/f", '0', 0, false), PackError);
}

}  // namespace
}  // namespace kestrel
