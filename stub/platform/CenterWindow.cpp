// CenterWindow.cpp — centring dialogs over their parent or the desktop.
#include "CenterWindow.h"

POINT CenteredPosition(const RECT& parent, int width, int height) {
    POINT corner;
    corner.x = parent.left + ((parent.right - parent.left) - width) / 2;
    corner.y = parent.top + ((parent.bottom - parent.top) - height) / 2;
    return corner;
}

void CenterWindow(HWND window) {
    HWND parent = GetParent(window);
    if (!parent) parent = GetDesktopWindow();
    RECT parentRect, windowRect;
    GetWindowRect(parent, &parentRect);
    GetWindowRect(window, &windowRect);
    POINT corner = CenteredPosition(parentRect, windowRect.right - windowRect.left,
                                    windowRect.bottom - windowRect.top);
    SetWindowPos(window, HWND_TOP, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}
