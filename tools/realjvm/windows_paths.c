/* Windows paths for the Linux VM: Wine maps each one to the Linux file it
 * stands for, through the drive mappings of the Wine prefix. */
#include "windows_paths.h"

#include <stdlib.h>
#include <string.h>
#include <winbase.h>

int is_absolute_windows_path(const WCHAR *text, size_t length)
{
    if (length >= 3 && text[1] == ':' && text[2] == '\\')
        return (text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z');
    return length >= 2 && text[0] == '\\' && text[1] == '\\';
}

char *linux_file_name(const WCHAR *path)
{
    char *wine_name = wine_get_unix_file_name(path);
    if (!wine_name)
        return NULL;
    char *name = strdup(wine_name);
    HeapFree(GetProcessHeap(), 0, wine_name);
    return name;
}
