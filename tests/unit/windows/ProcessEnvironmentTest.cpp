// PATH extension: composing the new value, and setting it in both copies of
// the environment, as a child process and the run-time library see it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ConfigBlock.h"
#include "ProcessEnvironment.h"

namespace {

std::string Composed(const char* entries, const char* oldPath, size_t capacity = 256) {
    std::string out(capacity, 'x');
    if (!ComposeExtendedPath(&out[0], capacity, entries, oldPath)) return "<rejected:" + out.substr(0, out.find('\0')) + ">";
    return out.c_str();
}

TEST(ComposeExtendedPath, ConfiguredEntriesGoInFrontWithOneSeparator) {
    EXPECT_EQ(Composed("c:\\app\\lib;C:\\tools", "C:\\windows"), "c:\\app\\lib;C:\\tools;C:\\windows");
    EXPECT_EQ(Composed("c:\\app\\lib;", "C:\\windows"), "c:\\app\\lib;C:\\windows");
    EXPECT_EQ(Composed("", "C:\\windows;C:\\x"), "C:\\windows;C:\\x");
    EXPECT_EQ(Composed("c:\\a", ""), "c:\\a;");
    EXPECT_EQ(Composed("", ""), "");
}

TEST(ComposeExtendedPath, AnOldPathThatDoesNotFitLosesWholeTrailingEntries) {
    // Room for 15 characters: "c:\a;" and 10 of the old PATH.
    EXPECT_EQ(Composed("c:\\a", "C:\\one;C:\\two;C:\\three", 16), "c:\\a;C:\\one");
    EXPECT_EQ(Composed("c:\\a", "C:\\one;C:\\tw", 16), "c:\\a;C:\\one");
    EXPECT_EQ(Composed("c:\\a", "C:\\one;C:\\", 16), "c:\\a;C:\\one;C:\\");
    EXPECT_EQ(Composed("c:\\a", "C:\\very-long-single-entry", 16), "c:\\a;");
    EXPECT_EQ(Composed("c:\\much-too-long-for-it", "C:\\x", 16), "<rejected:>");
}

// What a child process finds in PATH.
std::string PathSeenByChild() {
    char command[] = "cmd.exe /c echo %PATH%";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "<no pipe>";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        return "<no child>";
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    CloseHandle(readEnd);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return output;
}

TEST(SetPathVariable, ChildProcessesAndTheRuntimeLibrarySeeTheNewPath) {
    char oldPath[32767];
    GetEnvironmentVariableA("PATH", oldPath, sizeof oldPath);
    std::string value = std::string("c:\\kestrel-test\\lib;") + oldPath;
    SetPathVariable(value.c_str());
    const char* runtimeCopy = getenv("PATH");
    ASSERT_NE(runtimeCopy, nullptr);
    EXPECT_EQ(std::string(runtimeCopy), value);
    char systemCopy[32767];
    GetEnvironmentVariableA("PATH", systemCopy, sizeof systemCopy);
    EXPECT_EQ(std::string(systemCopy), value);
    EXPECT_EQ(PathSeenByChild(), value);
    SetPathVariable(oldPath);
}

TEST(ExtendPath, WithoutConfiguredEntriesPathIsSetAgainUnchanged) {
    // No configuration block is loaded here, so key 10004 reads as empty.
    char before[32767], after[32767];
    GetEnvironmentVariableA("PATH", before, sizeof before);
    ExtendPath();
    GetEnvironmentVariableA("PATH", after, sizeof after);
    EXPECT_STREQ(after, before);
    EXPECT_STREQ(getenv("PATH"), before);
}

}  // namespace
