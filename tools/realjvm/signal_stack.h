/* Running the VM's fault handlers on the thread's alternate signal stack. */
#ifndef REALJVM_SIGNAL_STACK_H
#define REALJVM_SIGNAL_STACK_H

/* Adds SA_ONSTACK to the handlers of the fault signals. Called once the VM
 * has installed its own handlers. */
void move_fault_handlers_to_signal_stack(void);

#endif
