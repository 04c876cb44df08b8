// ConfiguredErrors.cpp — configured message texts and captions handed to
// the error reporting below.
#include "ConfiguredErrors.h"

#include "ConfigBlock.h"
#include "ConfigKeys.h"
#include "DecisionTrace.h"
#include "MessageText.h"
#include "SystemError.h"
#include "TextFormat.h"

static void NarrowCaption(char* caption) { ConfigString(Message::Caption, caption, TextBufferSize); }

void ShowConfiguredError(int32_t key, const char* placeholder, const char* replacement) {
    char message[TextBufferSize], text[TextBufferSize], caption[TextBufferSize];
    ConfigString(key, message, sizeof message);
    TRACE("error: message %ld", (long)key);
    ReplaceFirstPlaceholder(text, sizeof text, message, placeholder, replacement);
    NarrowCaption(caption);
    ShowErrorText(text, caption);
}

void ShowFixedError(const char* text) {
    char caption[TextBufferSize];
    NarrowCaption(caption);
    ShowErrorText(text, caption);
}

void FatalInternalError(const char* text) {
    ShowFixedError(text);
    EndProcess(1);
}

void FatalSystemError(const char* operation) {
    DWORD error = GetLastError();
    char reason[TextBufferSize / 2], text[TextBufferSize];
    SystemErrorText(error, reason, sizeof reason);
    FormatText(text, sizeof text, "Internal Error: %s: %s", operation, reason);
    FatalInternalError(text);
}

void FatalWideError(int32_t key) {
    wchar_t message[TextBufferSize], caption[TextBufferSize];
    ConfigWString(key, message, TextBufferSize);
    TRACE("error: text %ld", (long)key);
    ConfigWString(Text::Caption, caption, TextBufferSize);
    ShowErrorWText(message, caption);
    TRACE("exit: code 1 after text %ld", (long)key);
    EndProcess(1);
}

void FatalConfiguredError(int32_t key, const char* placeholder, const char* replacement) {
    ShowConfiguredError(key, placeholder, replacement);
    TRACE("exit: code 1 after message %ld", (long)key);
    EndProcess(1);
}
