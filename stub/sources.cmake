# The launcher's sources by subsystem folder (see docs/architecture.md),
# apart from the program entry. Compiled into the stub and, again, into the
# Windows-side unit tests; the portable core also into the native host build
# (unit tests and fuzz targets).
set(KESTREL_STUB_ROOT ${CMAKE_CURRENT_LIST_DIR})
set(KESTREL_STUB_FOLDERS core platform diagnostics config payload runtime vm provisioning ui launch)

# Free of Win32: compiles with the host compiler too.
set(KESTREL_CORE_SOURCES
    core/ArgumentSplitting.cpp
    core/ClassPathSpec.cpp
    core/CommandLineWords.cpp
    core/ConfigParser.cpp
    core/Cp1252.cpp
    core/DeletionList.cpp
    core/ImageLayout.cpp
    core/JavaVersion.cpp
    core/MessageText.cpp
    core/PathText.cpp
    core/ReleaseFile.cpp
    core/StringList.cpp
    core/TarEntryPath.cpp
    core/TarExtraction.cpp
    core/TarHeader.cpp
    core/TextBuilder.cpp
    core/VMOptionsFile.cpp
    core/VariableExpansion.cpp
)
set(KESTREL_WINDOWS_SOURCES
    platform/CodePages.cpp
    platform/FileUtils.cpp
    platform/DirectoryTree.cpp
    platform/ImageFile.cpp
    platform/MachineRegistry.cpp
    platform/SystemLibrary.cpp
    platform/ChildProcesses.cpp
    platform/UserRegistry.cpp
    platform/WideText.cpp
    platform/CenterWindow.cpp
    platform/TextFormat.cpp
    platform/SystemError.cpp
    diagnostics/DecisionTrace.cpp
    platform/Threads.cpp
    diagnostics/ErrorReporting.cpp
    config/ConfigBlock.cpp
    config/ConfiguredErrors.cpp
    payload/PayloadExtraction.cpp
    payload/DeletionRegistry.cpp
    payload/PayloadFolders.cpp
    runtime/RuntimeCandidate.cpp
    runtime/RuntimeHome.cpp
    runtime/VersionCache.cpp
    runtime/RuntimeProbe.cpp
    runtime/CandidateAcceptance.cpp
    runtime/LocatedRuntimes.cpp
    runtime/InstalledRuntimes.cpp
    runtime/RegisteredRuntimes.cpp
    runtime/RuntimeSearch.cpp
    runtime/JvmLibrary.cpp
    runtime/RuntimeLoader.cpp
    runtime/SearchTrace.cpp
    vm/JavaVMLauncher.cpp
    vm/VMStartTrace.cpp
    provisioning/Progress.cpp
    provisioning/RuntimeFiles.cpp
    provisioning/DownloadWatch.cpp
    runtime/PackExpansion.cpp
    provisioning/Cancellation.cpp
    provisioning/ArchiveTarget.cpp
    provisioning/RuntimeArchive.cpp
    provisioning/RuntimeLocator.cpp
    provisioning/RuntimeDownload.cpp
    provisioning/DownloadProgress.cpp
    ui/LauncherDialogs.cpp
    ui/WindowDiscovery.cpp
    ui/SingleInstance.cpp
    launch/LauncherMain.cpp
    launch/ProcessEnvironment.cpp
)
list(TRANSFORM KESTREL_CORE_SOURCES PREPEND ${KESTREL_STUB_ROOT}/)
list(TRANSFORM KESTREL_WINDOWS_SOURCES PREPEND ${KESTREL_STUB_ROOT}/)
set(KESTREL_STUB_SOURCES ${KESTREL_CORE_SOURCES} ${KESTREL_WINDOWS_SOURCES})

# Units include each other by file name; every folder is on the path.
set(KESTREL_STUB_FOLDER_INCLUDES ${KESTREL_STUB_FOLDERS})
list(TRANSFORM KESTREL_STUB_FOLDER_INCLUDES PREPEND ${KESTREL_STUB_ROOT}/)
# Windows builds only: the libraries, JNI headers and definitions, and the
# linker script that keeps the stub's header layout (also used by the test
# programs that are packed like a stub).
if(WIN32)
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
        set(KESTREL_STUB_LINKER_SCRIPT ${KESTREL_STUB_ROOT}/stub64.ld)
    else()
        set(KESTREL_STUB_LINKER_SCRIPT ${KESTREL_STUB_ROOT}/stub.ld)
    endif()
    # zlib reads the runtime archive; its static archive (package
    # libz-mingw-w64-dev), so that the launcher needs no zlib DLL. Only the read
    # side is linked: the launcher closes streams with gzclose_r.
    find_library(KESTREL_ZLIB NAMES libz.a REQUIRED)
    set(KESTREL_STUB_LIBRARIES comctl32 ${KESTREL_ZLIB})
    # The JNI interface: the machine's JDK supplies jni.h, vm/jni/ the Windows
    # definitions that jni.h includes (found first).
    set(KESTREL_JNI_INCLUDE /usr/lib/jvm/default-java/include CACHE PATH "Directory of the JDK's jni.h")
    set(KESTREL_STUB_INCLUDES ${KESTREL_STUB_FOLDER_INCLUDES} ${KESTREL_STUB_ROOT}/vm/jni ${KESTREL_JNI_INCLUDE})
    set(KESTREL_STUB_DEFINITIONS WIN32_LEAN_AND_MEAN __USE_MINGW_ANSI_STDIO=0 _WIN32_WINNT=0x0501)
endif()
