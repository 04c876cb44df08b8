/* System.exit ending the Windows process with the VM's exit code. */
#ifndef REALJVM_EXIT_RELAY_H
#define REALJVM_EXIT_RELAY_H

#include <jni.h>

/* Starts the Windows thread that ends the process once the VM exits and
 * fills `option` with the VM's "exit" hook that hands it the code.
 * Returns 0, leaving `option` alone, when the relay cannot be set up. */
int start_exit_relay(JavaVMOption *option);

#endif
