/* The VM installs its handlers for the fault signals without SA_ONSTACK
 * and passes faults it does not own on to the handlers it found, which
 * are Wine's. Wine's handlers must run on the alternate signal stack Wine
 * set up for each of its threads, so the VM's handlers are re-registered
 * with SA_ONSTACK; threads without an alternate stack are unaffected. */
#include "signal_stack.h"

#include <signal.h>
#include <stddef.h>

static const int fault_signals[] = { SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP };

void move_fault_handlers_to_signal_stack(void)
{
    for (size_t i = 0; i < sizeof fault_signals / sizeof fault_signals[0]; i++) {
        struct sigaction action;
        if (sigaction(fault_signals[i], NULL, &action) != 0 || (action.sa_flags & SA_ONSTACK))
            continue;
        action.sa_flags |= SA_ONSTACK;
        sigaction(fault_signals[i], &action, NULL);
    }
}
