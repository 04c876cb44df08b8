// Progress.cpp — progress bar position, dialog item texts and thread starts.
#include "Progress.h"

#include <commctrl.h>

#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "Resources.h"
#include "Threads.h"
#include "WideText.h"

ProgressState Progress;

void SetItemFromKey(HWND dialog, int item, int key) {
    wchar_t text[TextBufferSize];
    ConfigWString(key, text, TextBufferSize);
    SetDlgItemTextWide(dialog, item, text);
}

void SetProgressPosition(HWND dialog, int position) {
    SendDlgItemMessageW(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, WPARAM(position), 0);
}

HANDLE StartRequiredThread(LPTHREAD_START_ROUTINE procedure, void* parameter, int priority) {
    HANDLE thread = StartThreadHandle(procedure, parameter, priority);
    if (!thread) FatalSystemError("CreateThread");
    return thread;
}
