/* Windows paths for the Linux VM: Wine maps each one to the Linux file it
 * stands for, through the drive links of the Wine prefix
 * ("dosdevices/c:"). Those links are resolved, since their colon would
 * split a Linux path list. */
#define _GNU_SOURCE
#include "windows_paths.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <winbase.h>

int is_absolute_windows_path(const WCHAR *text, size_t length)
{
    if (length >= 3 && text[1] == ':' && text[2] == '\\')
        return (text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z');
    return length >= 2 && text[0] == '\\' && text[1] == '\\';
}

/* `name` with the links in its longest existing leading part resolved;
 * the rest, which does not exist yet, is kept. */
static char *without_links(char *name)
{
    char *resolved = realpath(name, NULL);
    char *slash = strrchr(name, '/');
    if (resolved || !slash || slash == name)
        return resolved ? resolved : strdup(name);
    *slash = '\0';
    char *parent = without_links(name);
    *slash = '/';
    char *joined;
    if (asprintf(&joined, "%s%s", parent, slash) < 0)
        joined = NULL;
    free(parent);
    return joined;
}

char *linux_file_name(const WCHAR *path)
{
    char *wine_name = wine_get_unix_file_name(path);
    if (!wine_name)
        return NULL;
    char *name = without_links(wine_name);
    HeapFree(GetProcessHeap(), 0, wine_name);
    return name;
}

char *linux_working_directory(void)
{
    DWORD units = GetCurrentDirectoryW(0, NULL);
    WCHAR *directory = malloc(units * sizeof(WCHAR));
    char *name = NULL;
    if (directory && GetCurrentDirectoryW(units, directory) < units)
        name = linux_file_name(directory);
    free(directory);
    return name;
}
