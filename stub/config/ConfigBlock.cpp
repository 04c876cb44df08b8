// ConfigBlock.cpp — loads the configuration block from the launcher's own
// executable into the process-wide store and serves the key accessors.
#include "ConfigBlock.h"

#include <cstring>
#include <cwchar>

#include "CodePages.h"
#include "ConfigParser.h"
#include "ConfiguredErrors.h"
#include "ImageLayout.h"
#include "NeverDestroyed.h"
#include "ConfigKeys.h"
#include "DecisionTrace.h"
#include "ErrorReporting.h"
#include "FileUtils.h"

uint64_t PayloadOffset = 0;
char ProductFlavour = '\0';

// Never destroyed: the worker and the VM read configuration strings until
// the process ends.
static NeverDestroyed<LauncherConfig> ConfigStore;
static LauncherConfig& Config = ConfigStore.Get();


namespace {
// Reads the block from the executable file through a buffer: its records
// are small, and reading each field by itself would cost a system call per
// field.
class FileBlockSource : public BlockSource {
public:
    FileBlockSource(HANDLE file, uint64_t start) : file_(file), position_(start) {
        LARGE_INTEGER size;
        size_ = GetFileSizeEx(file, &size) ? uint64_t(size.QuadPart) : 0;
    }
    uint32_t Read(void* buffer, uint32_t count) override {
        if (next_ == end_ && !Fill()) return 0;
        uint32_t taken = count < end_ - next_ ? count : end_ - next_;
        memcpy(buffer, buffered_ + next_, taken);
        next_ += taken;
        position_ += taken;
        return taken;
    }
    uint64_t Remaining() const override { return size_ > position_ ? size_ - position_ : 0; }
    // The file offset of the next byte the parser reads.
    uint64_t Position() const { return position_; }

private:
    bool Fill() {
        DWORD got = 0;
        if (!ReadFile(file_, buffered_, sizeof buffered_, &got, nullptr) || got == 0) return false;
        next_ = 0;
        end_ = got;
        return true;
    }

    HANDLE file_;
    uint64_t size_ = 0;
    uint64_t position_;
    unsigned char buffered_[TextBufferSize];
    uint32_t next_ = 0;
    uint32_t end_ = 0;
};
}  // namespace

// A damaged block is reported with the caption read so far (the narrow
// caption's record may come before the damage).
[[noreturn]] static void FailBlock(const char* text) {
    char caption[TextBufferSize];
    ConfigString(Message::Caption, caption, sizeof caption);
    FatalErrorText(text, caption);
}

int32_t ReadBlockInt(HANDLE file) {
    unsigned char bytes[4];
    DWORD got = 0;
    if (!ReadFile(file, bytes, 4, &got, nullptr) || got != 4)
        FailBlock("Internal Error: readInt");
    return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24);
}

#ifdef _WIN64
// The headers of a 64-bit image fit in its first 4 KB (the linker's file
// alignment puts the first section's data there at the latest).
constexpr DWORD HeaderBytes = 4096;

// Behind the last section's raw data, located through the PE headers.
static uint64_t BlockOffset(HANDLE file) {
    uint8_t headers[HeaderBytes];
    DWORD got = 0;
    uint64_t offset = 0;
    if (!SeekFile(file, 0)) FatalSystemError("SetFilePointer");
    if (!ReadFile(file, headers, sizeof headers, &got, nullptr) || !LastSectionRawEnd(headers, got, &offset))
        FailBlock("Internal Error: readInt");
    return offset;
}
#else
static int32_t ReadIntAt(HANDLE file, LONG offset) {
    if (!SeekFile(file, uint64_t(offset))) FatalSystemError("SetFilePointer");
    return ReadBlockInt(file);
}

// The sum of the fifth section header's raw-data size and pointer, read at
// their fixed offsets.
static uint64_t BlockOffset(HANDLE file) {
    int32_t size = ReadIntAt(file, FixedBlockSizeFieldOffset);
    int32_t pointer = ReadIntAt(file, FixedBlockPointerFieldOffset);
    return uint32_t(uint32_t(size) + uint32_t(pointer));
}
#endif

// Hands the project's trace target to the trace: "1" as it is, a file path
// with its %variables% expanded and made absolute against the launcher's
// directory, like every configured path.
static void SettleProjectTrace() {
    char configured[TextBufferSize], expanded[TextBufferSize], target[TextBufferSize] = "";
    ConfigString(Key::Trace, configured, sizeof configured);
    if (strcmp(configured, "1") == 0) {
        strcpy(target, configured);
    } else if (configured[0]) {
        DWORD length = ExpandEnvironmentStringsA(configured, expanded, sizeof expanded);
        if (length == 0 || length > sizeof expanded || !ResolveAgainstExeDir(target, sizeof target, expanded))
            target[0] = '\0';
    }
    SettleTrace(target);
}

void LoadConfigBlock() {
    HANDLE file = OpenOwnExecutable();
    if (file == INVALID_HANDLE_VALUE) FailBlock("Internal Error: openExeFile");
    uint64_t blockOffset = BlockOffset(file);
    if (!SeekFile(file, blockOffset)) FatalSystemError("SetFilePointer");

    FileBlockSource source(file, blockOffset);
    BlockError error = ParseConfigBlock(source, Config);
    if (error != BlockError::None) FailBlock(BlockErrorText(error));

    PayloadOffset = source.Position();
    CloseHandle(file);
    if (TraceOn) SettleProjectTrace();
    TRACE("block: at offset %lu, %lu narrow and %lu wide settings, payload from offset %lu",
          (unsigned long)blockOffset, (unsigned long)Config.narrow.Count(), (unsigned long)Config.wide.Count(),
          (unsigned long)PayloadOffset);

    char flavour[2];
    ConfigString(Key::ProductFlavour, flavour, sizeof flavour);
    ProductFlavour = flavour[0];
    int32_t type = ConfigInt(Key::ApplicationType);
    if (type != ApplicationType::Windowed && type != ApplicationType::Installer) GuiMode = false;
}

void ConfigString(int32_t key, char* buffer, size_t capacity) {
    size_t length = 0;
    const char* value = static_cast<const char*>(Config.narrow.Find(key, &length));
    if (!value) length = 0;
    if (length >= capacity) length = capacity - 1;
    memcpy(buffer, value ? value : "", length);
    buffer[length] = '\0';
}

void ConfigAnsiString(int32_t key, char* buffer, size_t capacity) {
    const char* value = static_cast<const char*>(Config.narrow.Find(key, nullptr));
    Cp1252ToAnsi(value ? value : "", buffer, capacity);
}

int32_t ConfigInt(int32_t key) {
    const char* value = static_cast<const char*>(Config.narrow.Find(key, nullptr));
    return value ? ParseConfigInt(value) : 0;
}

void ConfigWString(int32_t key, wchar_t* buffer, size_t capacity) {
    size_t length = 0;
    const wchar_t* value = static_cast<const wchar_t*>(Config.wide.Find(key, &length));
    if (!value) length = 0;
    if (length >= capacity) length = capacity - 1;
    wmemcpy(buffer, value ? value : L"", length);
    buffer[length] = L'\0';
}
