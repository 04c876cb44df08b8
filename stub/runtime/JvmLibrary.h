// JvmLibrary.h — loading the VM library ("jvm.dll") that belongs to an
// accepted Java executable, and binding its VM creation entry.
#pragma once

#include <windows.h>

// The signature of JNI_CreateJavaVM: (JavaVM**, void** env, void* args).
typedef LONG(WINAPI* CreateJavaVMFunction)(void**, void**, void*);

// The bound JNI_CreateJavaVM of the loaded runtime; null until a binding
// succeeds, replaced by a later one.
extern CreateJavaVMFunction CreateJavaVMEntry;

// Loads "<bin>\<variant>\jvm.dll" for the executable's directory, trying
// Key::PreferredVM's variant, then hotspot, client, server and classic; then the
// same under "<bin>../jre/bin/" (a development kit's embedded runtime).
// The library is never freed.
HMODULE LoadJvmLibrary(const char* executable);

// False when every jvm.dll that LoadJvmLibrary would try and that exists is
// built for another machine than this launcher's (LoadLibrary would refuse
// each). True when one of them may load, and when there is none at all: a
// missing, damaged or unknown library is left to the loader.
bool LibraryMachineFits(const char* executable);

// Stores the module's "JNI_CreateJavaVM" in CreateJavaVMEntry; false when
// the library does not export it.
bool BindCreateJavaVM(HMODULE module);
