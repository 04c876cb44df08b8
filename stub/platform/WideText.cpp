// WideText.cpp — wide window texts with an ANSI fallback, and long path
// names through the kernel or the shell (bound when first needed).
#include "WideText.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "SystemLibrary.h"
#include "TextBuffer.h"

typedef BOOL(WINAPI* SetDlgItemTextWFunction)(HWND, int, LPCWSTR);
typedef BOOL(WINAPI* SetWindowTextWFunction)(HWND, LPCWSTR);
typedef DWORD(WINAPI* LongPathNameFunction)(LPCSTR, LPSTR, DWORD);

// The wide window functions, looked up once; null on systems without them.
static bool WideFunctionsLooked = false;
static SetDlgItemTextWFunction SetDlgItemTextWEntry = nullptr;
static SetWindowTextWFunction SetWindowTextWEntry = nullptr;

static void LookUpWideFunctions() {
    if (WideFunctionsLooked) return;
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        if (user32) {
            SetDlgItemTextWEntry = (SetDlgItemTextWFunction)(void*)GetProcAddress(user32, "SetDlgItemTextW");
            SetWindowTextWEntry = (SetWindowTextWFunction)(void*)GetProcAddress(user32, "SetWindowTextW");
        }
    }
    WideFunctionsLooked = true;
}

// The wide text in the ANSI code page, as the C library converts it;
// characters it cannot convert end the text there.
static void ToAnsi(const wchar_t* text, char* out, size_t capacity) {
    size_t length = wcstombs(out, text, capacity - 1);
    out[length == size_t(-1) ? 0 : length] = '\0';
}

void SetWindowTextWide(HWND window, const wchar_t* text) {
    LookUpWideFunctions();
    if (SetWindowTextWEntry) {
        SetWindowTextWEntry(window, text);
        return;
    }
    char ansi[TextBufferSize];
    ToAnsi(text, ansi, sizeof ansi);
    SetWindowTextA(window, ansi);
}

void SetDlgItemTextWide(HWND dialog, int item, const wchar_t* text) {
    LookUpWideFunctions();
    if (SetDlgItemTextWEntry) {
        SetDlgItemTextWEntry(dialog, item, text);
        return;
    }
    char ansi[TextBufferSize];
    ToAnsi(text, ansi, sizeof ansi);
    SetDlgItemTextA(dialog, item, ansi);
}

static DWORD WINAPI ResolveLongPathName(LPCSTR path, LPSTR out, DWORD capacity);

// Starts at the resolving routine, which replaces itself on the first call.
static LongPathNameFunction LongPathNameRoutine = ResolveLongPathName;

static DWORD WINAPI ResolveLongPathName(LPCSTR path, LPSTR out, DWORD capacity) {
    HMODULE kernel = GetModuleHandleA("KERNEL32");
    auto system = kernel ? (LongPathNameFunction)(void*)GetProcAddress(kernel, "GetLongPathNameA") : nullptr;
    if (system) {
        DWORD result = system(path, out, capacity);
        if (result != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
            LongPathNameRoutine = system;
            return result;
        }
    }
    LongPathNameRoutine = LongPathNameFallback;
    return LongPathNameFallback(path, out, capacity);
}

DWORD LongPathName(const char* path, char* out, DWORD capacity) {
    return LongPathNameRoutine(path, out, capacity);
}

// The shell's entry points, bound when the fallback first runs.
struct ShellFunctions {
    decltype(&SHGetDesktopFolder) desktopFolder;
    decltype(&SHGetPathFromIDListA) pathFromItems;
    decltype(&SHGetMalloc) allocator;
};

static bool BindShellFunctions(ShellFunctions* shell) {
    shell->desktopFolder = SystemFunction<decltype(&SHGetDesktopFolder)>("shell32.dll", "SHGetDesktopFolder");
    shell->pathFromItems = SystemFunction<decltype(&SHGetPathFromIDListA)>("shell32.dll", "SHGetPathFromIDListA");
    shell->allocator = SystemFunction<decltype(&SHGetMalloc)>("shell32.dll", "SHGetMalloc");
    return shell->desktopFolder && shell->pathFromItems && shell->allocator;
}

// The long form of `fullPath` through the desktop folder's name parsing;
// 0 with the last error set on failure.
static DWORD ShellLongPath(const ShellFunctions& shell, IShellFolder* desktop, const char* fullPath, char* out,
                           DWORD capacity) {
    WCHAR widePath[MAX_PATH];
    UINT codePage = AreFileApisANSI() ? CP_ACP : CP_OEMCP;
    if (!MultiByteToWideChar(codePage, 0, fullPath, -1, widePath, MAX_PATH)) {
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    LPITEMIDLIST items = nullptr;
    HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, widePath, nullptr, &items, nullptr);
    if (FAILED(parsed)) {
        SetLastError(HRESULT_FACILITY(parsed) == FACILITY_WIN32 ? HRESULT_CODE(parsed) : ERROR_INVALID_DATA);
        return 0;
    }
    char longPath[MAX_PATH] = "";
    DWORD result = 0;
    if (!shell.pathFromItems(items, longPath)) {
        SetLastError(ERROR_INVALID_DATA);
    } else {
        DWORD length = DWORD(strlen(longPath));
        if (length + 1 > capacity) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            result = length + 1;
        } else {
            memcpy(out, longPath, length + 1);
            result = length;
        }
    }
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(shell.allocator(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
    return result;
}

DWORD WINAPI LongPathNameFallback(const char* path, char* out, DWORD capacity) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return 0;
    char fullPath[MAX_PATH];
    DWORD length = GetFullPathNameA(path, MAX_PATH, fullPath, nullptr);
    if (length == 0) return 0;
    if (length > MAX_PATH - 1) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return 0;
    }
    ShellFunctions shell;
    if (!BindShellFunctions(&shell)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    IShellFolder* desktop = nullptr;
    if (FAILED(shell.desktopFolder(&desktop))) return 0;
    DWORD result = ShellLongPath(shell, desktop, fullPath, out, capacity);
    desktop->Release();
    return result;
}
