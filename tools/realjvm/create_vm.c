/* The bridge's export, JNI_CreateJavaVM as a Windows caller calls it:
 * loads the Linux VM library, prepares the process for it, creates the VM
 * with the translated options and hands back bridged interfaces. */
#include "env_bridge.h"
#include "signal_stack.h"
#include "stack_bounds.h"
#include "vm_options.h"

#include <dlfcn.h>
#include <stdio.h>

typedef jint (*create_vm_function)(JavaVM **vm, void **penv, void *args);

static const char linux_vm_library[] = LINUX_JAVA_HOME "/lib/server/libjvm.so";

static create_vm_function load_linux_vm(void)
{
    void *library = dlopen(linux_vm_library, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        fprintf(stderr, "jvm bridge: %s\n", dlerror());
        return NULL;
    }
    if (!report_wine_stacks_to(library))
        fprintf(stderr, "jvm bridge: %s does not ask for stack bounds as expected\n",
                linux_vm_library);
    return (create_vm_function)dlsym(library, "JNI_CreateJavaVM");
}

jint BRIDGE_STDCALL bridge_create_java_vm(JavaVM **vm, void **penv, void *args)
{
    JavaVM *real_vm;
    void *real;
    create_vm_function create = load_linux_vm();
    if (!create)
        return JNI_ERR;
    jint result = create(&real_vm, &real, linux_init_args(args));
    if (result != JNI_OK)
        return result;
    move_fault_handlers_to_signal_stack();
    *vm = bridge_vm(real_vm);
    *penv = bridge_env(real);
    return JNI_OK;
}
