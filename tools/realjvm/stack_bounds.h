/* Correct stack bounds for the VM on threads that run on a Wine stack. */
#ifndef REALJVM_STACK_BOUNDS_H
#define REALJVM_STACK_BOUNDS_H

/* Makes the library opened as `vm_library` see, on a thread that runs on a
 * stack Wine allocated, that stack's bounds instead of the ones the C
 * library reports. Returns 0 when the library imports no such query. */
int report_wine_stacks_to(void *vm_library);

#endif
