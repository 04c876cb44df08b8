// The stub layout check: a stub that moves the fifth section header or lets
// anything follow .rsrc must be refused with a specific reason.
#include "stub_layout.h"

#include <gtest/gtest.h>

#include <functional>

#include "pack_error.h"
#include "test_support.h"

namespace kestrel {
namespace {

using testing::make_stub;
using testing::put_uint16;
using testing::put_uint32;
using testing::section_header;

TEST(StubLayout, AcceptsTheRequiredLayoutAndReportsIt) {
    const std::string stub = make_stub();
    const StubLayout layout = check_stub_layout(stub, LayoutSubject::BareStub);
    ASSERT_EQ(layout.sections.size(), 5u);
    EXPECT_EQ(layout.sections[0].name, ".text");
    EXPECT_EQ(layout.sections[4].name, ".rsrc");
    EXPECT_EQ(layout.sections[4].raw_offset, 0xC00u);
    EXPECT_EQ(layout.file_size, stub.size());
    EXPECT_EQ(layout.block_offset, stub.size());
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

TEST_P(BrokenStubTest, IsRefusedWithItsReason) {
    std::string stub = make_stub();
    GetParam().damage(stub);
    try {
        check_stub_layout(stub, LayoutSubject::BareStub);
        FAIL() << "accepted";
    } catch (const PackError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().reason), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BrokenStubTest,
    ::testing::Values(
        BrokenStub{"TooShort", [](std::string& s) { s.resize(500); }, "too small"},
        BrokenStub{"NoMz", [](std::string& s) { s[0] = 'X'; }, "no MZ signature"},
        BrokenStub{"PeHeaderElsewhere", [](std::string& s) { put_uint32(s, 0x3C, 0x100); }, "e_lfanew) is 0x100"},
        BrokenStub{"NoPeSignature", [](std::string& s) { s[0x81] = 'X'; }, "no PE signature"},
        BrokenStub{"Amd64", [](std::string& s) { put_uint16(s, 0x84, 0x8664); }, "machine type is 0x8664"},
        BrokenStub{"SixSections", [](std::string& s) { put_uint16(s, 0x86, 6); }, "number of sections is 0x6"},
        BrokenStub{"Pe32Plus", [](std::string& s) { put_uint16(s, 0x98, 0x20B); }, "magic is 0x20B"},
        BrokenStub{"LongOptionalHeader", [](std::string& s) { put_uint16(s, 0x94, 240); }, "header size is 0xF0"},
        BrokenStub{"ConsoleSubsystem", [](std::string& s) { put_uint16(s, 0x98 + 68, 3); }, "subsystem is 0x3"},
        BrokenStub{"RelocLast", [](std::string& s) { s.replace(section_header(4), 6, ".reloc"); },
                   "fifth section is \".reloc\""},
        BrokenStub{"DataEndsBehindRsrc", [](std::string& s) { put_uint32(s, section_header(2) + 16, 0x800); },
                   "section \".data\" ends at 0x1000"},
        BrokenStub{"BytesBehindRsrc", [](std::string& s) { s += "tail"; }, "differs from the file size"}),
    testing::ParamName());

}  // namespace
}  // namespace kestrel
