# Cross toolchain: MinGW-w64 with Wine as the emulator for tests.
# KESTREL_MINGW_ARCH picks the target: "i686" (32-bit, the default) or
# "x86_64" (64-bit). KESTREL_MINGW_THREADS picks Debian's thread model:
# "win32" for the stub (it uses only Win32 threads and needs no pthread
# emulation), "posix" for the Windows-side tests (GoogleTest needs
# std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT KESTREL_MINGW_ARCH)
    set(KESTREL_MINGW_ARCH i686)
endif()
if(NOT KESTREL_MINGW_THREADS)
    set(KESTREL_MINGW_THREADS win32)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTREL_MINGW_ARCH KESTREL_MINGW_THREADS)
set(CMAKE_SYSTEM_PROCESSOR ${KESTREL_MINGW_ARCH})
set(MINGW_PREFIX ${KESTREL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-${KESTREL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-${KESTREL_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
