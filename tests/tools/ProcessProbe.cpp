// ProcessProbe.cpp — test helper: waits for a visible top-level window of
// the given class (and caption) in another process and prints that process's
// working directory and one environment variable, read from its process
// parameters. Tests use it while a launcher waits in a dialog.
//
//   process-probe [--timeout SECONDS] [--class NAME] [--title TEXT] [--variable NAME]
//
// Output (UTF-8), one line each:
//   cwd <working directory>
//   variable <NAME>=<value>        (or "variable <NAME> unset")
// Exit codes: 0 read, 2 no such window before the timeout, 4 the process
// could not be read.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Query {
    std::wstring windowClass = L"#32770";
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    Query* query = reinterpret_cast<Query*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    wchar_t text[512];
    GetClassNameW(window, text, 512);
    if (query->windowClass != text) return TRUE;
    GetWindowTextW(window, text, 512);
    if (!query->title.empty() && query->title != text) return TRUE;
    query->found = window;
    return FALSE;
}

std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    return out;
}

template <typename T>
bool Read(HANDLE process, ULONG_PTR address, T* value) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), value, sizeof *value, &got) &&
           got == sizeof *value;
}

// Offsets in the process parameters and the PEB of a process of the probe's
// own architecture, and of the buffer pointer in a UNICODE_STRING.
#ifdef _WIN64
constexpr ULONG_PTR PebProcessParameters = 0x20;
constexpr ULONG_PTR ParametersCurrentDirectory = 0x38;
constexpr ULONG_PTR ParametersEnvironment = 0x80;
constexpr ULONG_PTR UnicodeStringBuffer = 8;
#else
constexpr ULONG_PTR PebProcessParameters = 0x10;
constexpr ULONG_PTR ParametersCurrentDirectory = 0x24;
constexpr ULONG_PTR ParametersEnvironment = 0x48;
constexpr ULONG_PTR UnicodeStringBuffer = 4;
#endif

// A UNICODE_STRING of the other process.
bool ReadUnicodeString(HANDLE process, ULONG_PTR address, std::wstring* out) {
    USHORT length = 0;
    ULONG_PTR buffer = 0;
    if (!Read(process, address, &length) || !Read(process, address + UnicodeStringBuffer, &buffer)) return false;
    out->assign(length / 2, L'\0');
    SIZE_T got = 0;
    return length == 0 || (ReadProcessMemory(process, reinterpret_cast<LPCVOID>(ULONG_PTR(buffer)),
                                             &(*out)[0], length, &got) && got == length);
}

// The environment block: wide "name=value" entries up to an empty one. Read
// a unit at a time past page ends, since the block's size is not known.
bool ReadEnvironment(HANDLE process, ULONG_PTR address, std::vector<std::wstring>* entries) {
    std::wstring entry;
    for (int units = 0; units < 1 << 20; ++units, address += 2) {
        wchar_t unit = 0;
        if (!Read(process, address, &unit)) return false;
        if (unit) {
            entry += unit;
            continue;
        }
        if (entry.empty()) return true;
        entries->push_back(entry);
        entry.clear();
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Query query;
    double timeout = 10;
    std::wstring variable = L"PATH";
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        if (option == L"--timeout") timeout = _wtof(argv[i + 1]);
        else if (option == L"--class") query.windowClass = argv[i + 1];
        else if (option == L"--title") query.title = argv[i + 1];
        else if (option == L"--variable") variable = argv[i + 1];
    }
    DWORD deadline = GetTickCount() + DWORD(timeout * 1000);
    while (EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&query)), !query.found) {
        if (LONG(GetTickCount() - deadline) > 0) {
            printf("no window\n");
            return 2;
        }
        Sleep(50);
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(query.found, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG got = 0;
    ULONG_PTR parameters = 0, environment = 0;
    std::wstring directory;
    std::vector<std::wstring> entries;
    if (!process ||
        NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &got) != 0 ||
        !Read(process, ULONG_PTR(basic.PebBaseAddress) + PebProcessParameters, &parameters) ||
        !ReadUnicodeString(process, parameters + ParametersCurrentDirectory, &directory) ||
        !Read(process, parameters + ParametersEnvironment, &environment) ||
        !ReadEnvironment(process, environment, &entries)) {
        printf("unreadable process %lu\n", (unsigned long)processId);
        return 4;
    }
    printf("cwd %s\n", Utf8(directory).c_str());
    std::wstring prefix = variable + L"=";
    for (const std::wstring& entry : entries) {
        if (_wcsnicmp(entry.c_str(), prefix.c_str(), prefix.size()) == 0) {
            printf("variable %s\n", Utf8(entry).c_str());
            return 0;
        }
    }
    printf("variable %s unset\n", Utf8(variable).c_str());
    return 0;
}
