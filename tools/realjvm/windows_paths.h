/* Windows file names turned into the Linux file names the VM can open. */
#ifndef REALJVM_WINDOWS_PATHS_H
#define REALJVM_WINDOWS_PATHS_H

#include <stddef.h>
#include <stdarg.h>
#include <windef.h>

/* Whether the first `length` units of `text` are an absolute Windows path:
 * a drive letter, a colon and a backslash, or two leading backslashes. */
int is_absolute_windows_path(const WCHAR *text, size_t length);

/* The Linux file name of the Windows path `path` (relative ones against
 * the current directory) in the Unix encoding, free of symbolic links as
 * far as it exists, or NULL when Wine cannot map it. Free with free(). */
char *linux_file_name(const WCHAR *path);

/* The Linux file name of the process's Windows working directory, as
 * linux_file_name gives it. */
char *linux_working_directory(void);

#endif
