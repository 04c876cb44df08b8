/* On Wine's main thread the C library's pthread_getattr_np reports the
 * Linux process stack, while the thread really runs on a stack Wine
 * allocated for Windows code. The VM takes the reported range for its own
 * stack and then sees every frame as an overflow. The VM's queries are
 * redirected here: when the caller's stack lies outside the reported
 * range, the thread's Windows stack bounds from its TEB are reported. */
#define _GNU_SOURCE
#include "stack_bounds.h"
#include "got_patch.h"

#include <pthread.h>
#include <stdarg.h>
#include <windef.h>
#include <winternl.h>

static int runs_within(const pthread_attr_t *attr, const char *address)
{
    void *low;
    size_t size;
    if (pthread_attr_getstack(attr, &low, &size) != 0)
        return 0;
    return address >= (const char *)low && address < (const char *)low + size;
}

static int getattr_with_wine_stack(pthread_t thread, pthread_attr_t *attr)
{
    char here;
    int result = pthread_getattr_np(thread, attr);
    if (result != 0 || !pthread_equal(thread, pthread_self()) || runs_within(attr, &here))
        return result;
    /* Off the reported stack, so on one Wine made: the TEB is valid. */
    TEB *teb = NtCurrentTeb();
    char *bottom = teb->DeallocationStack;
    char *top = teb->Tib.StackBase;
    return pthread_attr_setstack(attr, bottom, (size_t)(top - bottom));
}

int report_wine_stacks_to(void *vm_library)
{
    return redirect_import(vm_library, "pthread_getattr_np", (void *)getattr_with_wine_stack);
}
