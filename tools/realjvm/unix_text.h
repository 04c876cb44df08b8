/* Text conversions between the Windows side (ANSI code page, UTF-16) and
 * the Unix encoding the Linux VM reads. Results are malloc'ed. */
#ifndef REALJVM_UNIX_TEXT_H
#define REALJVM_UNIX_TEXT_H

#include <stddef.h>
#include <stdarg.h>
#include <windef.h>

/* The first `length` bytes of ANSI `text` as terminated UTF-16. */
WCHAR *ansi_to_wide(const char *text, size_t length);

/* Terminated UTF-16 `text` in the Unix encoding. */
char *wide_to_unix(const WCHAR *text);

/* Unix-encoded `text` as UTF-16; its length in units goes to `units`. */
WCHAR *unix_to_wide(const char *text, int *units);

#endif
