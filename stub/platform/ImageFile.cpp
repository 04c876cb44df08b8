// ImageFile.cpp — reading the first bytes of an image file.
#include "ImageFile.h"

#include <windows.h>

ImageMachine ImageFileMachine(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ImageMachine::NotAnImage;
    uint8_t headers[MachineHeaderLimit];
    DWORD got = 0;
    bool read = ReadFile(file, headers, sizeof headers, &got, nullptr) != 0;
    CloseHandle(file);
    return read ? ImageMachineOf(headers, got) : ImageMachine::NotAnImage;
}

bool IsForeignMachine(ImageMachine machine) {
    return machine != LauncherMachine && machine != ImageMachine::NotAnImage && machine != ImageMachine::Unknown;
}
