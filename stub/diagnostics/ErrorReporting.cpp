// ErrorReporting.cpp — message boxes or standard error by GuiMode, configured
// message texts with one placeholder, the process exits, and the in-memory
// lists of created files and directories.
#include "ErrorReporting.h"

#include <cstdio>
#include <cstring>

#include "ConfigBlock.h"
#include "FileUtils.h"
#include "StringList.h"
#include "ConfigKeys.h"

HWND ErrorOwnerWindow = nullptr;

static StringList FilesToDelete;
static StringList DirectoriesToDelete;

void SetErrorOwnerWindow(HWND window) { ErrorOwnerWindow = window; }

void ShowErrorText(const char* text) {
    RunExitCleanup();
    if (GuiMode) {
        char caption[TextBufferSize];
        ConfigString(Message::Caption, caption, sizeof caption);
        MessageBoxA(ErrorOwnerWindow, text, caption, MB_OK | MB_ICONERROR);
    } else {
        fputs(text, stderr);
        fputc('\n', stderr);
        fflush(stderr);
    }
}

void ShowErrorWText(const wchar_t* text) {
    RunExitCleanup();
    if (GuiMode) {
        wchar_t caption[TextBufferSize];
        ConfigWString(Text::Caption, caption, TextBufferSize);
        MessageBoxW(ErrorOwnerWindow, text, caption, MB_OK | MB_ICONERROR);
    } else {
        // Character by character through the run-time library's conversion,
        // as a wide "%ls\n" format would, without linking a wide formatter.
        for (const wchar_t* c = text; *c; ++c) fputwc(*c, stderr);
        fputwc(L'\n', stderr);
        fflush(stderr);
    }
}

// Appends at most what still fits (keeping room for the terminator).
static void AppendCut(char* out, size_t capacity, size_t* used, const char* text, size_t length) {
    size_t room = capacity - 1 - *used;
    if (length > room) length = room;
    memcpy(out + *used, text, length);
    *used += length;
    out[*used] = '\0';
}

void ReplaceFirstPlaceholder(char* out, size_t capacity, const char* message,
                             const char* placeholder, const char* replacement) {
    size_t used = 0;
    out[0] = '\0';
    const char* at = (placeholder && *placeholder) ? strstr(message, placeholder) : nullptr;
    if (!at) {
        AppendCut(out, capacity, &used, message, strlen(message));
        return;
    }
    AppendCut(out, capacity, &used, message, size_t(at - message));
    AppendCut(out, capacity, &used, replacement, strlen(replacement));
    const char* rest = at + strlen(placeholder);
    AppendCut(out, capacity, &used, rest, strlen(rest));
}

void ShowConfiguredError(int key, const char* placeholder, const char* replacement) {
    char message[TextBufferSize], text[TextBufferSize];
    ConfigString(key, message, sizeof message);
    ReplaceFirstPlaceholder(text, sizeof text, message, placeholder, replacement);
    ShowErrorText(text);
}

void FatalInternalError(const char* text) {
    ShowErrorText(text);
    ExitProcess(1);
}

void FatalWideError(int key) {
    wchar_t message[TextBufferSize];
    ConfigWString(key, message, TextBufferSize);
    ShowErrorWText(message);
    ExitProcess(1);
}

void FatalConfiguredError(int key, const char* placeholder, const char* replacement) {
    ShowConfiguredError(key, placeholder, replacement);
    ExitProcess(1);
}

void ExitLauncher(int code) {
    RunExitCleanup();
    ExitProcess(UINT(code));
}

// A path that cannot be remembered (out of memory) is simply not recorded:
// the files stay in the temporary directory, as they would anyway.
void RegisterFileForDeletion(const char* path) { FilesToDelete.Append(path); }

void RegisterDirectoryForDeletion(const char* path) { DirectoriesToDelete.Append(path); }

void RunExitCleanup() {
    for (size_t i = 0; i < FilesToDelete.Count(); ++i)
        AppendDeletionEntry(FilesToDelete.At(i), "delete_file");
    for (size_t i = 0; i < DirectoriesToDelete.Count(); ++i)
        AppendDeletionEntry(DirectoriesToDelete.At(i), "delete_dir");
}
