/* The Linux VM ends the process for System.exit with the C library's
 * exit(), behind Wine's back, so a Windows parent would see another exit
 * code. The VM's exit hook hands the code over instead, and a Windows
 * thread ends the process with it through ExitProcess.
 *
 * The hook runs on a thread of the VM, which carries the thread
 * information block of the thread that created it: it must not call Win32
 * itself. It writes the code into a pipe and waits there for the end; the
 * relay thread, made with CreateThread at VM creation, reads it. */
#include "exit_relay.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <windef.h>
#include <winbase.h>

static int exit_pipe[2];

static void JNICALL hand_over_exit_code(jint code)
{
    while (write(exit_pipe[1], &code, sizeof code) < 0 && errno == EINTR)
        ;
    for (;;)
        pause();
}

static DWORD WINAPI end_process_on_exit_code(void *unused)
{
    jint code;
    ssize_t length;
    (void)unused;
    do
        length = read(exit_pipe[0], &code, sizeof code);
    while (length < 0 && errno == EINTR);
    if (length == (ssize_t)sizeof code)
        ExitProcess((UINT)code);
    return 0;
}

int start_exit_relay(JavaVMOption *option)
{
    static char exit_hook_option[] = "exit";
    if (pipe(exit_pipe) != 0)
        return 0;
    HANDLE thread = CreateThread(NULL, 0, end_process_on_exit_code, NULL, 0, NULL);
    if (!thread) {
        close(exit_pipe[0]);
        close(exit_pipe[1]);
        return 0;
    }
    CloseHandle(thread);
    option->optionString = exit_hook_option;
    option->extraInfo = (void *)hand_over_exit_code;
    return 1;
}

/* Wine ends the Unix process with exit() once the last Windows thread of
 * the process is gone, and its server kills the process if that takes more
 * than a second. The Linux VM's exit-time handlers run there with the VM's
 * own threads still alive and, on a loaded machine, took longer: the
 * process ended by SIGKILL instead of with its exit code. This handler,
 * registered after the VM's, runs before them and ends the process with the
 * status exit() was given. */
static void end_at_once(int status, void *unused)
{
    (void)unused;
    fflush(NULL);
    _exit(status);
}

void end_exit_ahead_of_the_vm(void)
{
    on_exit(end_at_once, NULL);
}
