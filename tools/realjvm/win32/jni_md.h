/* The machine-dependent part of jni.h for 32-bit Windows programs: JNI
 * functions are __stdcall there, and jlong is a 64-bit integer. */
#ifndef REALJVM_WIN32_JNI_MD_H
#define REALJVM_WIN32_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
