// ImageFile.h — the machine a program or DLL file is built for, read from
// its headers without loading it, and the machine of this launcher itself.
#pragma once

#include "ImageLayout.h"

// The machine this launcher is built for: a 64-bit launcher loads only
// 64-bit runtimes, a 32-bit one only 32-bit runtimes.
#ifdef _WIN64
constexpr ImageMachine LauncherMachine = ImageMachine::X64;
#else
constexpr ImageMachine LauncherMachine = ImageMachine::X86;
#endif

// The machine of the image file at `path`; NotAnImage when it cannot be
// opened or its headers cannot be read.
ImageMachine ImageFileMachine(const char* path);

// True for an image built for a known machine other than LauncherMachine.
// Files that are no image, damaged ones and unknown machines are not: the
// system's loader has the last word on them.
bool IsForeignMachine(ImageMachine machine);
