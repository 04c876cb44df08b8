/* jni_md.h — the machine-dependent part of the JNI interface for 32- and
 * 64-bit Windows, included by the JDK's jni.h: the calling convention of the
 * runtime's jvm.dll (stdcall on 32-bit Windows; 64-bit Windows has a single
 * convention, and the compiler ignores the keyword there) and the Windows
 * widths of the integer types: long is 32 bits on both, so jint is long and
 * jlong is long long (the Linux header's 64-bit long would be wrong). The
 * launcher and its test doubles put this directory before the JDK's include
 * directory. */
#ifndef _JAVASOFT_JNI_MD_H_
#define _JAVASOFT_JNI_MD_H_

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif /* !_JAVASOFT_JNI_MD_H_ */
