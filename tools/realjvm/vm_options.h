/* The Windows caller's VM options rewritten for the Linux VM. */
#ifndef REALJVM_VM_OPTIONS_H
#define REALJVM_VM_OPTIONS_H

#include <jni.h>

/* A new set of init arguments: every option in the Unix text encoding,
 * Windows paths in path options mapped to Linux file names, and the
 * options the VM needs to live in a Wine process appended, `exit_hook`
 * (when not NULL) last. Never freed. */
JavaVMInitArgs *linux_init_args(const JavaVMInitArgs *windows_args, const JavaVMOption *exit_hook);

#endif
