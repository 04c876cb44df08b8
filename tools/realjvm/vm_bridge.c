/* The bridged invocation interface: the JavaVM handed to the Windows
 * caller, its thread attachment functions, and the per-thread bridged
 * environments that wrap each thread's real JNIEnv. */
#include "env_bridge.h"

#include <stdio.h>
#include <unistd.h>

struct bridged_vm {
    const void *const *functions;
    JavaVM *real;
};

static struct bridged_vm the_vm;
static __thread struct bridged_env thread_env;

/* Interface versions of JVMTI and friends carry these bits; the bridge
 * serves only the native interface. */
#define NON_JNI_INTERFACE_BITS 0x30000000

static JavaVM *real_vm(JavaVM *vm)
{
    return ((struct bridged_vm *)vm)->real;
}

JNIEnv *bridge_env(JNIEnv *real)
{
    thread_env.functions = bridged_env_table;
    thread_env.real = real;
    return (JNIEnv *)&thread_env;
}

static jint bridged_result(jint result, void **penv)
{
    if (result == JNI_OK)
        *penv = bridge_env(*penv);
    return result;
}

static jint BRIDGE_JNICALL vm_DestroyJavaVM(JavaVM *vm)
{
    JavaVM *real = real_vm(vm);
    return (*real)->DestroyJavaVM(real);
}

static jint BRIDGE_JNICALL vm_AttachCurrentThread(JavaVM *vm, void **penv, void *args)
{
    JavaVM *real = real_vm(vm);
    return bridged_result((*real)->AttachCurrentThread(real, penv, args), penv);
}

static jint BRIDGE_JNICALL vm_DetachCurrentThread(JavaVM *vm)
{
    JavaVM *real = real_vm(vm);
    return (*real)->DetachCurrentThread(real);
}

static jint BRIDGE_JNICALL vm_GetEnv(JavaVM *vm, void **penv, jint version)
{
    JavaVM *real = real_vm(vm);
    if (version & NON_JNI_INTERFACE_BITS) {
        *penv = NULL;
        return JNI_EVERSION;
    }
    return bridged_result((*real)->GetEnv(real, penv, version), penv);
}

static jint BRIDGE_JNICALL vm_AttachCurrentThreadAsDaemon(JavaVM *vm, void **penv, void *args)
{
    JavaVM *real = real_vm(vm);
    return bridged_result((*real)->AttachCurrentThreadAsDaemon(real, penv, args), penv);
}

static const void *const bridged_vm_table[] = {
    NULL,
    NULL,
    NULL,
    (const void *)vm_DestroyJavaVM,
    (const void *)vm_AttachCurrentThread,
    (const void *)vm_DetachCurrentThread,
    (const void *)vm_GetEnv,
    (const void *)vm_AttachCurrentThreadAsDaemon,
};

_Static_assert(sizeof bridged_vm_table == sizeof(struct JNIInvokeInterface_),
               "one thunk per slot of the invocation interface");

JavaVM *bridge_vm(JavaVM *real)
{
    the_vm.functions = bridged_vm_table;
    the_vm.real = real;
    return (JavaVM *)&the_vm;
}

jint BRIDGE_JNICALL bridged_GetJavaVM(JNIEnv *env, JavaVM **vm)
{
    (void)env;
    if (!the_vm.real)
        return JNI_ERR;
    *vm = (JavaVM *)&the_vm;
    return JNI_OK;
}

void stop_unbridged(const char *what)
{
    fprintf(stderr, "jvm bridge: %s is not bridged\n", what);
    fflush(stderr);
    _exit(BRIDGE_FAILURE_EXIT);
}
