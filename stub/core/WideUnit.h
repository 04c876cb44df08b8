// WideUnit.h — one UTF-16 code unit in the portable core: wchar_t on
// Windows, where the system's wide texts use it, char16_t in the native
// build, where wchar_t is 32 bits wide.
#pragma once

#ifdef _WIN32
typedef wchar_t WideUnit;
#else
typedef char16_t WideUnit;
#endif
