/* jni_md.h — the machine-dependent part of the JNI interface for 32-bit
 * Windows, included by the JDK's jni.h: the stdcall calling convention of
 * the runtime's jvm.dll and the Windows widths of the integer types. The
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
