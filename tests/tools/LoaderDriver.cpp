// LoaderDriver.cpp — test program: the launcher's runtime loading entry in
// each of its three calling modes, with the configuration block the packer
// appends to this program (it is linked with the stub's image layout).
//
//   loader-driver search        the automatic search, errors reported
//   loader-driver home DIR      DIR as a runtime directory
//   loader-driver pick FILE     FILE as the Java executable, else a directory
//
// Prints "loaded" and exits 0 when the runtime's library was loaded and its
// VM creation entry bound; prints "not loaded" and exits 1 otherwise.
#include <cstdio>
#include <cstring>

#include "JvmLibrary.h"
#include "ProcessEnvironment.h"
#include "WinLoader.h"

int main(int argc, char** argv) {
    PrepareProcessEnvironment(GetModuleHandleA(nullptr));
    const char* mode = argc > 1 ? argv[1] : "";
    const char* path = argc > 2 ? argv[2] : nullptr;
    bool loaded = false;
    if (strcmp(mode, "search") == 0) loaded = LoadJavaRuntime(true, nullptr, false);
    else if (strcmp(mode, "home") == 0 && path) loaded = LoadJavaRuntime(true, path, false);
    else if (strcmp(mode, "pick") == 0 && path) loaded = LoadJavaRuntime(true, path, true);
    loaded = loaded && CreateJavaVMEntry != nullptr;
    printf(loaded ? "loaded\n" : "not loaded\n");
    return loaded ? 0 : 1;
}
