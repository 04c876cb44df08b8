// The stub layout check: a 32-bit stub that moves the fifth section header, a
// 64-bit stub whose last section header is not .rsrc, or either with anything
// behind .rsrc must be refused with a specific reason.
#include "stub_layout.h"

#include <gtest/gtest.h>

#include <functional>

#include "pack_error.h"
#include "test_support.h"

namespace kestrel {
namespace {

using testing::make_stub;
using testing::make_stub64;
using testing::put_uint16;
using testing::put_uint32;
using testing::section_header;
using testing::section_header64;

TEST(StubLayout, AcceptsTheRequiredLayoutAndReportsIt) {
    const std::string stub = make_stub();
    const StubLayout layout = check_stub_layout(stub, LayoutSubject::BareStub);
    EXPECT_EQ(layout.architecture, Architecture::X86);
    ASSERT_EQ(layout.sections.size(), 5u);
    EXPECT_EQ(layout.sections[0].name, ".text");
    EXPECT_EQ(layout.sections[4].name, ".rsrc");
    EXPECT_EQ(layout.sections[4].raw_offset, 0xC00u);
    EXPECT_EQ(layout.file_size, stub.size());
    EXPECT_EQ(layout.block_offset, stub.size());
}

TEST(StubLayout, The64BitLayoutIsFoundThroughThePeHeaders) {
    const std::string stub = make_stub64();
    const StubLayout layout = check_stub_layout(stub, LayoutSubject::BareStub);
    EXPECT_EQ(layout.architecture, Architecture::X64);
    ASSERT_EQ(layout.sections.size(), 6u);
    EXPECT_EQ(layout.sections[1].name, ".pdata");
    EXPECT_EQ(layout.sections[5].name, ".rsrc");
    EXPECT_EQ(layout.block_offset, stub.size());
    EXPECT_EQ(check_stub_layout(stub + "block", LayoutSubject::Launcher).block_offset, stub.size());

    // Fewer sections and the last one's raw data moved: still found.
    std::string shorter = stub.substr(0, 0xC00);
    put_uint16(shorter, 0x106, 4);
    shorter.replace(section_header64(3), 8, std::string(".rsrc\0\0\0", 8));
    EXPECT_EQ(check_stub_layout(shorter, LayoutSubject::BareStub).block_offset, 0xC00u);
}

TEST(StubLayout, ALauncherHasItsBlockWhereTheStubEnded) {
    const std::string launcher = make_stub() + "block and payload";
    EXPECT_EQ(check_stub_layout(launcher, LayoutSubject::Launcher).block_offset, make_stub().size());
    EXPECT_THROW(check_stub_layout(launcher, LayoutSubject::BareStub), PackError);
}

TEST(StubLayout, ALauncherCutInsideItsStubIsRefused) {
    const std::string cut = make_stub().substr(0, 0xD00);
    try {
        check_stub_layout(cut, LayoutSubject::Launcher);
        FAIL() << "no error";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find("beyond the end of the file"), std::string::npos) << error.what();
    }
}

struct BrokenStub {
    const char* name;
    std::function<void(std::string&)> damage;
    const char* reason;
};

void PrintTo(const BrokenStub& value, std::ostream* out) {
    *out << value.name;
}

class BrokenStubTest : public ::testing::TestWithParam<BrokenStub> {};

void expect_refused(std::string stub, const BrokenStub& broken) {
    broken.damage(stub);
    try {
        check_stub_layout(stub, LayoutSubject::BareStub);
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find(broken.reason), std::string::npos) << error.what();
    }
}

TEST_P(BrokenStubTest, IsRefusedWithItsReason) {
    expect_refused(make_stub(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BrokenStubTest,
    ::testing::Values(
        BrokenStub{"TooShort", [](std::string& s) { s.resize(500); }, "too small"},
        BrokenStub{"NoMz", [](std::string& s) { s[0] = 'X'; }, "no MZ signature"},
        BrokenStub{"PeHeaderElsewhere", [](std::string& s) { put_uint32(s, 0x3C, 0x100); },
                   "no PE signature at offset 0x100"},
        BrokenStub{"PeHeaderMoved",
                   [](std::string& s) {
                       s.replace(0x90, 0x240 - 0x80, s.substr(0x80, 0x240 - 0x80));
                       put_uint32(s, 0x3C, 0x90);
                   },
                   "e_lfanew) is 0x90, expected 0x80"},
        BrokenStub{"NoPeSignature", [](std::string& s) { s[0x81] = 'X'; }, "no PE signature"},
        BrokenStub{"Amd64WithPe32Header", [](std::string& s) { put_uint16(s, 0x84, 0x8664); },
                   "magic is 0x10B, expected 0x20B (PE32+)"},
        BrokenStub{"Arm", [](std::string& s) { put_uint16(s, 0x84, 0x1C4); },
                   "machine type is 0x1C4, expected 0x14C (i386) or 0x8664 (x86-64)"},
        BrokenStub{"SixSections", [](std::string& s) { put_uint16(s, 0x86, 6); }, "number of sections is 0x6"},
        BrokenStub{"Pe32Plus", [](std::string& s) { put_uint16(s, 0x98, 0x20B); }, "magic is 0x20B"},
        BrokenStub{"LongOptionalHeader", [](std::string& s) { put_uint16(s, 0x94, 240); }, "header size is 0xF0"},
        BrokenStub{"ConsoleSubsystem", [](std::string& s) { put_uint16(s, 0x98 + 68, 3); }, "subsystem is 0x3"},
        BrokenStub{"RelocLast", [](std::string& s) { s.replace(section_header(4), 6, ".reloc"); },
                   "fifth section is \".reloc\""},
        BrokenStub{"DataEndsBehindRsrc", [](std::string& s) { put_uint32(s, section_header(2) + 16, 0x800); },
                   "section \".data\" ends at 0x1000"},
        BrokenStub{"BytesBehindRsrc", [](std::string& s) { s += "tail"; }, "differs from the file size"},
        BrokenStub{"RsrcNotLastInMemory", [](std::string& s) { put_uint32(s, section_header(2) + 12, 0x9000); },
                   "section \".data\" lies at RVA 0x9000, behind .rsrc at 0x5000"}),
    testing::ParamName());

class Broken64BitStubTest : public BrokenStubTest {};

TEST_P(Broken64BitStubTest, IsRefusedWithItsReason) {
    expect_refused(make_stub64(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, Broken64BitStubTest,
    ::testing::Values(
        BrokenStub{"Pe32Header", [](std::string& s) { put_uint16(s, 0x118, 0x10B); }, "magic is 0x10B, expected 0x20B"},
        BrokenStub{"ConsoleSubsystem", [](std::string& s) { put_uint16(s, 0x118 + 68, 3); }, "subsystem is 0x3"},
        BrokenStub{"PdataLast", [](std::string& s) { s.replace(section_header64(5), 6, ".pdata"); },
                   "last section is \".pdata\""},
        BrokenStub{"XdataEndsBehindRsrc", [](std::string& s) { put_uint32(s, section_header64(2) + 16, 0xA00); },
                   "section \".xdata\" ends at 0x1200"},
        BrokenStub{"SectionTableBeyondTheFile", [](std::string& s) { put_uint16(s, 0x106, 200); }, "too small"},
        BrokenStub{"PeHeaderBeyondTheFile", [](std::string& s) { put_uint32(s, 0x3C, 0xFFFFFFF0); }, "too small"},
        BrokenStub{"OptionalHeaderTooShort", [](std::string& s) { put_uint16(s, 0x114, 100); },
                   "optional header size is 0x64, too small"},
        BrokenStub{"NoSections", [](std::string& s) { put_uint16(s, 0x106, 0); }, "no sections"}),
    testing::ParamName());

}  // namespace
}  // namespace kestrel
