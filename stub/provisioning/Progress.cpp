// Progress.cpp — progress bar position, dialog item texts and progress threads.
#include "Progress.h"

#include <commctrl.h>

#include "ConfigBlock.h"
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

void StartProgressThread(LPTHREAD_START_ROUTINE procedure, HWND dialog) {
    StartThread(procedure, dialog, THREAD_PRIORITY_ABOVE_NORMAL);
}
