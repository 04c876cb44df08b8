// CenterWindow.h — centring a dialog over its parent or the desktop.
#pragma once

#include <windows.h>

// Moves the window (size unchanged) to the centre of its parent window, or
// of the desktop when it has none.
void CenterWindow(HWND window);

// The top-left corner that centres a `width` x `height` window in `parent`
// (divisions truncate towards zero, so a larger window sits left of and
// above the parent's corner).
POINT CenteredPosition(const RECT& parent, int width, int height);
