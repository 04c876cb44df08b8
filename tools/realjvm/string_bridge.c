/* NewString across the bridge. The launcher hands the Java side Windows
 * paths as strings (log files, for instance); a string that is an absolute
 * Windows path arrives as the Linux file name it stands for, so that the
 * Linux VM opens the same file a Windows VM would. Other strings, and
 * paths Wine cannot map, arrive unchanged. */
#include "env_bridge.h"
#include "unix_text.h"
#include "windows_paths.h"

#include <stdlib.h>
#include <string.h>

/* The Linux file name of the string, or NULL when it is none. */
static char *linux_name_of(const jchar *units, jsize length)
{
    if (!is_absolute_windows_path(units, (size_t)length))
        return NULL;
    WCHAR *path = malloc(((size_t)length + 1) * sizeof(WCHAR));
    memcpy(path, units, (size_t)length * sizeof(WCHAR));
    path[length] = 0;
    char *name = linux_file_name(path);
    free(path);
    return name;
}

jstring BRIDGE_JNICALL bridged_NewString(JNIEnv *env, const jchar *units, jsize length)
{
    JNIEnv *real = real_env(env);
    char *name = linux_name_of(units, length);
    if (!name)
        return (*real)->NewString(real, units, length);
    int mapped_length;
    WCHAR *mapped = unix_to_wide(name, &mapped_length);
    jstring result = (*real)->NewString(real, mapped, mapped_length);
    free(mapped);
    free(name);
    return result;
}
