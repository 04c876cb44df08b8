// JvmDouble.cpp — stands in for a runtime's jvm.dll in tests. When loaded it
// appends its own path to jvm.log beside itself. It exports the undecorated
// JNI_CreateJavaVM, as a real one does, unless built with
// JVM_DOUBLE_WITHOUT_ENTRY (a library the launcher must refuse).
#include "DoubleLog.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH * 4];
        DWORD length = GetModuleFileNameA(instance, path, sizeof path);
        path[length < sizeof path ? length : 0] = '\0';
        AppendLogLine(instance, "jvm.log", path);
    }
    return TRUE;
}

#ifndef JVM_DOUBLE_WITHOUT_ENTRY
#include "JniDouble.h"

// A VM whose JNI tables serve and record the launcher's calls (JniDouble.cpp).
jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* args) { return CreateJavaVMDouble(vm, env, args); }
#endif
