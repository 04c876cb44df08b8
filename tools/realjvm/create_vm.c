/* The bridge's export, JNI_CreateJavaVM as a Windows caller calls it:
 * loads the Linux VM library, prepares the process for it, creates the VM
 * with the translated options and hands back bridged interfaces. */
#include "env_bridge.h"
#include "exit_relay.h"
#include "signal_stack.h"
#include "stack_bounds.h"
#include "vm_options.h"
#include "windows_paths.h"

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

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

/* The Linux VM resolves relative file names against the process's Unix
 * working directory and reports it as "user.dir"; Wine keeps the Windows
 * one apart. The VM starts in the Unix directory of the Windows one. */
static void enter_windows_working_directory(void)
{
    char *directory = linux_working_directory();
    if (!directory || chdir(directory) != 0)
        fprintf(stderr, "jvm bridge: the working directory has no Linux name\n");
    free(directory);
}

jint BRIDGE_JNICALL bridge_create_java_vm(JavaVM **vm, void **penv, void *args)
{
    JavaVM *real_vm;
    void *real;
    JavaVMOption exit_hook;
    create_vm_function create = load_linux_vm();
    if (!create)
        return JNI_ERR;
    enter_windows_working_directory();
    int relayed = start_exit_relay(&exit_hook);
    if (!relayed)
        fprintf(stderr, "jvm bridge: System.exit will not reach Windows\n");
    jint result = create(&real_vm, &real, linux_init_args(args, relayed ? &exit_hook : NULL));
    if (result != JNI_OK)
        return result;
    end_exit_ahead_of_the_vm();
    move_fault_handlers_to_signal_stack();
    *vm = bridge_vm(real_vm);
    *penv = bridge_env(real);
    return JNI_OK;
}
