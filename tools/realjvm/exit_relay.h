/* System.exit ending the Windows process with the VM's exit code. */
#ifndef REALJVM_EXIT_RELAY_H
#define REALJVM_EXIT_RELAY_H

#include <jni.h>

/* Starts the Windows thread that ends the process once the VM exits and
 * fills `option` with the VM's "exit" hook that hands it the code.
 * Returns 0, leaving `option` alone, when the relay cannot be set up. */
int start_exit_relay(JavaVMOption *option);

/* Once the VM is created: the process's end through the C library's exit()
 * happens at once, ahead of the exit-time handlers the VM registered. */
void end_exit_ahead_of_the_vm(void);

#endif
