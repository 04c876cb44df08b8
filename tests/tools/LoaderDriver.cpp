// LoaderDriver.cpp — test program: the launcher's three runtime loading
// entries, with the configuration block the packer appends to this program
// (it is linked with the stub's image layout).
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
#include "RuntimeLoader.h"

int main(int argc, char** argv) {
    PrepareProcessEnvironment(GetModuleHandleA(nullptr));
    const char* mode = argc > 1 ? argv[1] : "";
    const char* path = argc > 2 ? argv[2] : nullptr;
    bool loaded = false;
    if (strcmp(mode, "search") == 0) loaded = LoadSearchedRuntime(FailureMessages::Shown);
    else if (strcmp(mode, "home") == 0 && path) loaded = LoadRuntimeHome(path);
    else if (strcmp(mode, "pick") == 0 && path) loaded = LoadChosenRuntime(path);
    loaded = loaded && CreateJavaVMEntry != nullptr;
    printf(loaded ? "loaded\n" : "not loaded\n");
    return loaded ? 0 : 1;
}
