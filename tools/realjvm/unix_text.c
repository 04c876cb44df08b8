/* Text conversions for the bridge, through Wine's code pages: CP_ACP for
 * what Windows code passes, CP_UNIXCP for what the Linux VM reads. */
#include "unix_text.h"

#include <stdlib.h>
#include <winbase.h>
#include <winnls.h>

WCHAR *ansi_to_wide(const char *text, size_t length)
{
    int units = MultiByteToWideChar(CP_ACP, 0, text, (int)length, NULL, 0);
    WCHAR *wide = malloc((units + 1) * sizeof(WCHAR));
    MultiByteToWideChar(CP_ACP, 0, text, (int)length, wide, units);
    wide[units] = 0;
    return wide;
}

char *wide_to_unix(const WCHAR *text)
{
    int bytes = WideCharToMultiByte(CP_UNIXCP, 0, text, -1, NULL, 0, NULL, NULL);
    char *unix_text = malloc(bytes);
    WideCharToMultiByte(CP_UNIXCP, 0, text, -1, unix_text, bytes, NULL, NULL);
    return unix_text;
}

WCHAR *unix_to_wide(const char *text, int *units)
{
    *units = MultiByteToWideChar(CP_UNIXCP, 0, text, -1, NULL, 0) - 1;
    WCHAR *wide = malloc((*units + 1) * sizeof(WCHAR));
    MultiByteToWideChar(CP_UNIXCP, 0, text, -1, wide, *units + 1);
    return wide;
}
