/* The calling conventions of JNI functions on Windows, as the bridge's
 * thunks declare them, and the variadic arguments of Windows callers in the
 * form the Linux VM's ...V functions read. */
#ifndef REALJVM_CALLING_CONVENTION_H
#define REALJVM_CALLING_CONVENTION_H

#include <stdarg.h>
#include <stddef.h>

#if defined(__x86_64__)
/* 64-bit Windows has one calling convention, the Microsoft x64 one, for
 * fixed and variadic functions alike; its stack is 16-byte aligned. */
#define BRIDGE_JNICALL __attribute__((ms_abi))
#define BRIDGE_VARIADIC __attribute__((ms_abi))
/* A Windows x64 va_list points at the 8-byte slots of the arguments. */
typedef __builtin_ms_va_list windows_va_list;
#define windows_va_start __builtin_ms_va_start
#define windows_va_end __builtin_ms_va_end
#else
/* 32-bit JNI is __stdcall; Windows code keeps the stack only 4-byte
 * aligned, the Linux VM expects 16. */
#define BRIDGE_JNICALL __attribute__((stdcall, force_align_arg_pointer))
/* Variadic JNI functions are cdecl on Windows too. */
#define BRIDGE_VARIADIC __attribute__((force_align_arg_pointer))
/* Both sides pass variadic arguments on the stack, one va_list form. */
typedef va_list windows_va_list;
#define windows_va_start va_start
#define windows_va_end va_end
#endif

/* A Linux va_list, wrapped so that it can be returned. */
struct linux_va_list {
    va_list list;
};

/* A Linux va_list that reads the arguments `windows_args` points at. */
static inline struct linux_va_list linux_arguments(windows_va_list windows_args)
{
    struct linux_va_list linux_args;
#if defined(__x86_64__)
    /* All register arguments marked as used: every va_arg then reads the
     * next 8-byte slot of the overflow area, laid out as on Windows. */
    linux_args.list[0].gp_offset = 48;
    linux_args.list[0].fp_offset = 176;
    linux_args.list[0].overflow_arg_area = windows_args;
    linux_args.list[0].reg_save_area = NULL;
#else
    linux_args.list = windows_args;
#endif
    return linux_args;
}

#endif
