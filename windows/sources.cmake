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
    ${CMAKE_CURRENT_LIST_DIR}/CenterWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProcessEnvironment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VariableExpansion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ArgumentSplitting.cpp
)
set(KESTREL_STUB_LIBRARIES comctl32)
set(KESTREL_STUB_DEFINITIONS WIN32_LEAN_AND_MEAN __USE_MINGW_ANSI_STDIO=0 _WIN32_WINNT=0x0501)
