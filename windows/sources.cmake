# The launcher's sources apart from the program entry; compiled into the stub
# and, again, into the Windows-side unit tests.
set(KESTREL_STUB_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/LauncherMain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LauncherDialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigParser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConfigBlock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ErrorReporting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeletionList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileUtils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PathText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextFormat.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CenterWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProcessEnvironment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PayloadExtraction.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VariableExpansion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ArgumentSplitting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowDiscovery.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UserRegistry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextBuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ClassPathSpec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VMOptionsFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WideText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JavaVMLauncher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JavaVersion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VersionCache.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RuntimeProbe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LocatedRuntimes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/JvmLibrary.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WinLoader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/InstalledRuntimes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PackExpansion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarHeader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RuntimeArchive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RuntimeLocator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RuntimeDownload.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DownloadProgress.cpp
)
# zlib reads the runtime archive; its static archive (package
# libz-mingw-w64-dev), so that the launcher needs no zlib DLL. Only the read
# side is linked: the launcher closes streams with gzclose_r.
find_library(KESTREL_ZLIB NAMES libz.a REQUIRED)
set(KESTREL_STUB_LIBRARIES comctl32 shell32 comdlg32 ${KESTREL_ZLIB})
# The JNI interface: the machine's JDK supplies jni.h, jni/ the 32-bit
# Windows definitions that jni.h includes (found first).
set(KESTREL_JNI_INCLUDE /usr/lib/jvm/default-java/include CACHE PATH "Directory of the JDK's jni.h")
set(KESTREL_STUB_INCLUDES ${CMAKE_CURRENT_LIST_DIR}/jni ${KESTREL_JNI_INCLUDE})
set(KESTREL_STUB_DEFINITIONS WIN32_LEAN_AND_MEAN __USE_MINGW_ANSI_STDIO=0 _WIN32_WINNT=0x0501)
