# Cross toolchain: 32-bit MinGW-w64 with Wine as the emulator for tests.
# KESTREL_MINGW_THREADS picks Debian's thread model: "win32" for the stub
# (it uses only Win32 threads and needs no pthread emulation), "posix" for
# the Windows-side tests (GoogleTest needs std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
if(NOT KESTREL_MINGW_THREADS)
    set(KESTREL_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTREL_MINGW_THREADS)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${KESTREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${KESTREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
