// RuntimeLocator.h — the manual runtime selection behind the Locate button
// of the runtime-not-found dialog: the user picks a java.exe, the runtime
// is checked and loaded, and remembered among the located runtimes.
#pragma once

#include <windows.h>

// Shows the file chooser owned by `owner`. True when the chosen file
// belongs to an acceptable runtime whose library is now loaded; false when
// the user cancelled or the runtime was refused (its messages were shown).
bool LocateRuntime(HWND owner);
