// JniDouble.h — a JavaVM and JNIEnv with real function tables for the jvm.dll
// double: the calls the launcher makes work and are recorded, every other
// slot reports its name and ends the process.
#pragma once

#include <jni.h>

// JNI_CreateJavaVM of the double (see JniDouble.cpp for the control file).
jint CreateJavaVMDouble(JavaVM** vm, void** env, void* args);
