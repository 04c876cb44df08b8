// PayloadExtraction.cpp — the payload records behind the configuration block
// written into a fresh temporary directory, chunk by chunk.
#include "PayloadExtraction.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "ConfigBlock.h"
#include "ConfiguredErrors.h"
#include "DecisionTrace.h"
#include "DeletionRegistry.h"
#include "FileUtils.h"
#include "PathText.h"
#include "PayloadFolders.h"
#include "TextFormat.h"
#include "ConfigKeys.h"

// From the heap: as a zero-filled array it would take 8 KB of the image.
// Allocated before WinMain runs; a process that cannot have 8 KB then
// could not run at all.
char* const PayloadDirectory = static_cast<char*>(calloc(TextBufferSize, 1));

// Internal error codes of Message::InternalError.
static const char* const DirectoryNotCreated = "7";
static const char* const FileNotCreated = "11";
static const char* const FileNotWritten = "13";

[[noreturn]] static void InternalError(const char* code) { FatalConfiguredError(Message::InternalError, "%ERROR_CODE%", code); }

// Combines every byte of the chunk with PayloadKey, eight bytes at a time;
// bytes past `count` in the last word are changed too but never written.
static void Unscramble(uint64_t* chunk, uint32_t count) {
    const uint64_t key = PayloadKey * 0x0101010101010101ull;
    for (uint32_t i = 0; i < (count + 7) / 8; ++i) chunk[i] ^= key;
}

// Writes all `count` bytes, going on after a partial write.
static void WriteAll(HANDLE target, const unsigned char* bytes, DWORD count) {
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(target, bytes, count, &written, nullptr) || written == 0)
            InternalError(FileNotWritten);
        bytes += written;
        count -= written;
    }
}

bool CopyPayloadBytes(HANDLE source, HANDLE target, uint32_t count, bool unscramble) {
    uint64_t chunk[PayloadChunkSize / sizeof(uint64_t)];
    while (count > 0) {
        DWORD wanted = count < PayloadChunkSize ? count : PayloadChunkSize, got = 0;
        if (!ReadFile(source, chunk, wanted, &got, nullptr) || got == 0) return false;
        if (unscramble) Unscramble(chunk, got);
        WriteAll(target, reinterpret_cast<const unsigned char*>(chunk), got);
        count -= got;
    }
    return true;
}

bool ExtractPayloadFile(HANDLE executable, const char* path) {
    int32_t length = ReadBlockInt(executable);
    if (length <= 0) {
        TRACE("payload: %s has no content: no file written", path);
        return true;
    }
    unsigned long started = TraceOn ? TraceMilliseconds() : 0;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        TRACE("payload: %s cannot be created (error %lu)", path, GetLastError());
        InternalError(FileNotCreated);
    }
    bool copied = CopyPayloadBytes(executable, file, uint32_t(length), true);
    CloseHandle(file);
    if (copied) TRACE("payload: wrote %s, %ld bytes in %lu ms", path, (long)length, TraceMilliseconds() - started);
    else TRACE("payload: %s ends early: the launcher's file is damaged or cut", path);
    return copied;
}

bool MakePayloadDirectoryName(char* out, size_t capacity) {
    if (!MakeTempFileName(out, capacity)) return false;
    DeleteFileA(out);
    srand(unsigned(time(nullptr)));
    char suffix[24];
    FormatText(suffix, sizeof suffix, "_dir%d", rand());
    if (AppendBounded(out, capacity, suffix)) return true;
    out[0] = '\0';
    return false;
}

// Splits the NUL-terminated `names` at ';' in place; returns the next
// non-empty name from *cursor on, or null when none is left.
static char* NextName(char** cursor) {
    char* name = *cursor;
    while (*name == ';') ++name;
    if (!*name) return nullptr;
    char* end = name + strcspn(name, ";");
    *cursor = *end ? end + 1 : end;
    *end = '\0';
    return name;
}

bool ExtractPayload(char* out, size_t capacity) {
    out[0] = '\0';
    int32_t count = ConfigInt(Key::PayloadCount);
    if (count == 0) {
        TRACE("payload: none; the working directory stays");
        return true;
    }
    HANDLE executable = OpenOwnExecutable();
    if (executable == INVALID_HANDLE_VALUE) return false;
    if (!SeekFile(executable, PayloadOffset)) {
        CloseHandle(executable);
        return false;
    }

    if (!MakePayloadDirectoryName(out, capacity) || !CreateDirectoryA(out, nullptr)) {
        TRACE("payload: the directory %s cannot be created (error %lu)", out, GetLastError());
        InternalError(DirectoryNotCreated);
    }
    TRACE("payload: %ld file%s from offset %lu into %s", (long)count, count == 1 ? "" : "s",
          (unsigned long)PayloadOffset, out);
    RecordPayloadFolder(out);

    char names[TextBufferSize];
    ConfigString(Key::PayloadNames, names, sizeof names);
    char* cursor = names;
    int32_t extracted = 0;
    for (char* name; extracted < count && (name = NextName(&cursor)) != nullptr; ++extracted) {
        char path[TextBufferSize];
        // A path that does not fit could only be created cut: the file cannot be made.
        if (!FormatText(path, sizeof path, "%s\\%s", out, name)) InternalError(FileNotCreated);
        RegisterFileForDeletion(path);
        if (!ExtractPayloadFile(executable, path)) {
            CloseHandle(executable);
            return false;
        }
    }
    RegisterDirectoryForDeletion(out);
    CloseHandle(executable);
    return true;
}

void EndWithCorruptedInstallation(HWND progressDialog) {
    if (progressDialog) {
        wchar_t text[TextBufferSize], caption[TextBufferSize];
        ConfigWString(Text::InstallationCorrupted, text, TextBufferSize);
        ConfigWString(Text::Caption, caption, TextBufferSize);
        MessageBoxW(progressDialog, text, caption, MB_OK | MB_ICONERROR);
    }
    TRACE("exit: code 1, the payload could not be extracted");
    EndProcess(1);
}
