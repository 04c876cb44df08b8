/* The bridged JNI interfaces as the Windows caller sees them: a JavaVM and
 * per-thread JNIEnv records whose function tables hold thunks in the
 * calling convention of JNI on Windows, forwarding to the real interfaces
 * of the Linux VM, whose functions follow the System V conventions. */
#ifndef REALJVM_ENV_BRIDGE_H
#define REALJVM_ENV_BRIDGE_H

#include <jni.h>
#include "calling_convention.h"

/* Exit code of a process stopped by the bridge itself. */
#define BRIDGE_FAILURE_EXIT 70

/* What a Windows JNIEnv pointer points at: the thunk table first, as in
 * any JNIEnv, then the real environment of the same thread. */
struct bridged_env {
    const void *const *functions;
    JNIEnv *real;
};

static inline JNIEnv *real_env(JNIEnv *env)
{
    return ((struct bridged_env *)env)->real;
}

/* Generated: one thunk per slot of the native interface. */
extern const void *const bridged_env_table[];

/* The calling thread's bridged environment for its real one. */
JNIEnv *bridge_env(JNIEnv *real);

/* The bridged JavaVM for the real one (the process has at most one). */
JavaVM *bridge_vm(JavaVM *real);

/* Native interface slots written by hand: the one that hands out the VM,
 * and string creation, which maps Windows paths. */
jint BRIDGE_JNICALL bridged_GetJavaVM(JNIEnv *env, JavaVM **vm);
jstring BRIDGE_JNICALL bridged_NewString(JNIEnv *env, const jchar *units, jsize length);

/* Reports a use of something the bridge cannot serve and ends the process. */
void stop_unbridged(const char *what) __attribute__((noreturn));

#endif
