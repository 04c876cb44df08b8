/* Option translation for the Linux VM. The caller writes options in the
 * Windows ANSI code page with Windows paths; the VM reads the Unix
 * encoding and Linux paths. The path options below are mapped, lists
 * split at ';' and joined with ':'; so is the value of any other system
 * property that is an absolute Windows path. Hook options carry Windows
 * function pointers the VM could not call, so they stop the process. */
#define _GNU_SOURCE
#include "vm_options.h"
#include "env_bridge.h"
#include "unix_text.h"
#include "windows_paths.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <winbase.h>

struct path_option {
    const char *prefix;
    int is_list;
};

static const struct path_option path_options[] = {
    { "-Djava.class.path=", 1 },
    { "-Djava.library.path=", 1 },
    { "-Xbootclasspath/a:", 1 },
    { "-Duser.dir=", 0 },
    { "-Djava.io.tmpdir=", 0 },
};

static const char *const hook_options[] = { "exit", "abort", "vfprintf" };

#if !defined(__x86_64__)
/* The 32-bit VM's default maximum heap is a quarter of the memory it
 * counts with, at most 4 GB: close to 1 GB of contiguous address space
 * (908 MB on a machine with 23 GB) on any machine with 4 GB or more, which
 * the VM cannot reserve in a 32-bit Wine process, where Wine keeps most of
 * the 4 GB for Windows code. The 64-bit VM keeps its default. Placed
 * first, so that a maximum the caller gives wins. */
static char default_heap_limit[] = "-Xmx256m";
#endif
/* Keeps the VM away from SIGQUIT, SIGINT, SIGHUP and SIGTERM, which Wine
 * handles itself. */
static char reduced_signal_use[] = "-Xrs";

static void write_unix_text(FILE *out, const WCHAR *wide)
{
    char *text = wide_to_unix(wide);
    fputs(text, out);
    free(text);
}

/* One path: its Linux file name. Empty elements and elements holding a
 * double quote (no Windows file name can) keep their text: the launcher
 * brackets its class path with lone quote elements, which then name no
 * existing file on Linux either. So does a path Wine cannot map. */
static void write_path(FILE *out, const char *path, size_t length)
{
    WCHAR *wide = ansi_to_wide(path, length);
    char *name = NULL;
    if (length > 0 && !memchr(path, '"', length))
        name = linux_file_name(wide);
    if (name) {
        fputs(name, out);
        free(name);
    } else {
        write_unix_text(out, wide);
    }
    free(wide);
}

static void write_path_list(FILE *out, const char *list)
{
    for (;;) {
        size_t length = strcspn(list, ";");
        write_path(out, list, length);
        if (list[length] == '\0')
            return;
        fputc(':', out);
        list += length + 1;
    }
}

static const struct path_option *find_path_option(const char *option)
{
    for (size_t i = 0; i < sizeof path_options / sizeof path_options[0]; i++)
        if (strncmp(option, path_options[i].prefix, strlen(path_options[i].prefix)) == 0)
            return &path_options[i];
    return NULL;
}

/* The value of a "-Dname=value" option when it is an absolute Windows path. */
static const char *property_path_value(const char *option)
{
    const char *equals = strchr(option, '=');
    if (strncmp(option, "-D", 2) != 0 || !equals)
        return NULL;
    WCHAR *value = ansi_to_wide(equals + 1, strlen(equals + 1));
    int is_path = is_absolute_windows_path(value, lstrlenW(value));
    free(value);
    return is_path ? equals + 1 : NULL;
}

static void refuse_hooks(const char *option)
{
    char what[64];
    for (size_t i = 0; i < sizeof hook_options / sizeof hook_options[0]; i++) {
        if (strcmp(option, hook_options[i]) == 0) {
            snprintf(what, sizeof what, "the VM option hook \"%s\"", option);
            stop_unbridged(what);
        }
    }
}

static char *linux_option(const char *option)
{
    char *text;
    size_t size;
    FILE *out = open_memstream(&text, &size);
    const struct path_option *path = find_path_option(option);
    const char *value = path ? option + strlen(path->prefix) : property_path_value(option);
    if (value) {
        fwrite(option, 1, (size_t)(value - option), out);
        if (path && path->is_list)
            write_path_list(out, value);
        else
            write_path(out, value, strlen(value));
    } else {
        WCHAR *wide = ansi_to_wide(option, strlen(option));
        write_unix_text(out, wide);
        free(wide);
    }
    fclose(out);
    return text;
}

JavaVMInitArgs *linux_init_args(const JavaVMInitArgs *windows_args, const JavaVMOption *exit_hook)
{
    enum { bridge_options = 3 }; /* at most: heap limit, signal use, exit hook */
    JavaVMInitArgs *args = calloc(1, sizeof *args);
    args->version = windows_args->version;
    args->ignoreUnrecognized = windows_args->ignoreUnrecognized;
    args->options = calloc((size_t)windows_args->nOptions + bridge_options, sizeof *args->options);
    jint count = 0;
#if !defined(__x86_64__)
    args->options[count++].optionString = default_heap_limit;
#endif
    for (jint i = 0; i < windows_args->nOptions; i++) {
        refuse_hooks(windows_args->options[i].optionString);
        args->options[count++].optionString = linux_option(windows_args->options[i].optionString);
    }
    args->options[count++].optionString = reduced_signal_use;
    if (exit_hook)
        args->options[count++] = *exit_hook;
    args->nOptions = count;
    return args;
}
