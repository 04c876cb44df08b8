// WindowProbe.cpp — test helper: waits for a visible top-level dialog window
// of another process, prints its caption and every child control, and
// optionally presses one of its buttons.
//
//   window-probe [--timeout SECONDS] [--class NAME] [--title TEXT] [--set-text ID=TEXT] [--press ID]
//                [--wait SECONDS] [--geometry 1]
//
// Output (UTF-8), one line each:
//   caption <text>
//   owner <caption of the owner window, or "-">
//   style <hex window style>
//   item <id> <class> <visible 0|1> <text>
// With --geometry 1, in physical pixels (the probe is DPI aware), then:
//   dpi <dots per inch of the window>
//   client <width> <height>
//   geometry <id> <left> <top> <right> <bottom> <text width> <text height>
// for every control, relative to the client area; the text is measured in
// the dialogs' font (MS Shell Dlg, 8 points, at the window's DPI): on one
// line for buttons, wrapped at the control's width for other controls (a
// width above the control's means a word that does not fit); 0 0 without
// text and for icons.
// --set-text puts TEXT into control ID (an edit field, say) before any press.
// After a press it waits until the window is gone, at most --wait seconds
// (default: until the timeout); --wait 0 for a window that stays.
// Exit codes: 0 found (and pressed), 2 no such window before the timeout,
// 3 no such button or control.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

struct Query {
    std::wstring windowClass = L"#32770";
    std::wstring title;  // empty: any caption
    HWND found = nullptr;
};

std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring WindowText(HWND window) {
    wchar_t text[8192];
    GetWindowTextW(window, text, 8192);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    GetClassNameW(window, name, 256);
    return name;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    Query* query = reinterpret_cast<Query*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    if (ClassName(window) != query->windowClass) return TRUE;
    if (!query->title.empty() && WindowText(window) != query->title) return TRUE;
    query->found = window;
    return FALSE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    printf("item %d %s %d %s\n", GetDlgCtrlID(child), Utf8(ClassName(child)).c_str(),
           IsWindowVisible(child) ? 1 : 0, Utf8(WindowText(child)).c_str());
    return TRUE;
}

// The probe measures in physical pixels only when it is DPI aware itself.
void BecomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    auto set_context = reinterpret_cast<SetContext>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext"));
    const HANDLE per_monitor_v2 = reinterpret_cast<HANDLE>(-4);  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (!set_context || !set_context(per_monitor_v2)) SetProcessDPIAware();
}

UINT WindowDpi(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    auto get_dpi = reinterpret_cast<GetDpi>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
    if (get_dpi) return get_dpi(window);
    HDC screen = GetDC(nullptr);
    const UINT dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

struct Measure {
    HWND dialog;
    HDC dc;
};

BOOL CALLBACK PrintChildGeometry(HWND child, LPARAM param) {
    const Measure* measure = reinterpret_cast<const Measure*>(param);
    RECT box;
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, measure->dialog, reinterpret_cast<POINT*>(&box), 2);
    // An icon control's text is the name of its icon, not shown.
    const bool icon = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                      _wcsicmp(ClassName(child).c_str(), L"Static") == 0;
    const std::wstring text = icon ? std::wstring() : WindowText(child);
    RECT needed = {0, 0, box.right - box.left, 0};
    if (!text.empty()) {
        const bool button = _wcsicmp(ClassName(child).c_str(), L"Button") == 0;
        const UINT format = DT_CALCRECT | DT_NOPREFIX | (button ? DT_SINGLELINE : DT_WORDBREAK | DT_EXPANDTABS);
        DrawTextW(measure->dc, text.c_str(), -1, &needed, format);
    } else {
        needed.right = 0;
    }
    printf("geometry %d %ld %ld %ld %ld %ld %ld\n", GetDlgCtrlID(child), box.left, box.top, box.right, box.bottom,
           needed.right - needed.left, needed.bottom - needed.top);
    return TRUE;
}

void PrintGeometry(HWND window) {
    const UINT dpi = WindowDpi(window);
    RECT client;
    GetClientRect(window, &client);
    printf("dpi %u\nclient %ld %ld\n", dpi, client.right, client.bottom);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(8, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, L"MS Shell Dlg");
    HGDIOBJ previous = SelectObject(dc, font);
    Measure measure = {window, dc};
    EnumChildWindows(window, PrintChildGeometry, reinterpret_cast<LPARAM>(&measure));
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
}

void PrintWindow(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    printf("caption %s\n", Utf8(WindowText(window)).c_str());
    printf("owner %s\n", owner ? Utf8(WindowText(owner)).c_str() : "-");
    printf("style %08lx\n", (unsigned long)GetWindowLongW(window, GWL_STYLE));
    EnumChildWindows(window, PrintChild, 0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Query query;
    double timeout = 10;
    double wait = -1;  // after a press; negative: until the timeout
    int press = 0;
    bool geometry = false;
    std::wstring setText;  // "ID=TEXT"
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring option = argv[i];
        if (option == L"--timeout") timeout = _wtof(argv[i + 1]);
        else if (option == L"--class") query.windowClass = argv[i + 1];
        else if (option == L"--title") query.title = argv[i + 1];
        else if (option == L"--press") press = _wtoi(argv[i + 1]);
        else if (option == L"--set-text") setText = argv[i + 1];
        else if (option == L"--wait") wait = _wtof(argv[i + 1]);
        else if (option == L"--geometry") geometry = _wtoi(argv[i + 1]) != 0;
    }
    DWORD deadline = GetTickCount() + DWORD(timeout * 1000);
    while (!query.found) {
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&query));
        if (query.found) break;
        if (LONG(GetTickCount() - deadline) > 0) {
            printf("no window\n");
            return 2;
        }
        Sleep(50);
    }
    if (geometry) BecomeDpiAware();
    PrintWindow(query.found);
    if (geometry) PrintGeometry(query.found);
    fflush(stdout);
    if (!setText.empty()) {
        size_t separator = setText.find(L'=');
        int item = _wtoi(setText.substr(0, separator).c_str());
        HWND control = GetDlgItem(query.found, item);
        if (separator == std::wstring::npos || !control) {
            printf("no control %d\n", item);
            return 3;
        }
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(setText.c_str() + separator + 1));
    }
    if (press) {
        HWND button = GetDlgItem(query.found, press);
        if (!button) {
            printf("no button %d\n", press);
            return 3;
        }
        PostMessageW(button, BM_CLICK, 0, 0);
        // Wait until the window is gone, so a following probe cannot find it.
        if (wait >= 0) deadline = GetTickCount() + DWORD(wait * 1000);
        while (IsWindow(query.found) && LONG(GetTickCount() - deadline) <= 0) Sleep(20);
    }
    return 0;
}
