# Cross build for 32-bit Windows (the modules for 32-bit programs) with
# Debian's MinGW-w64 (posix thread model, g++-mingw-w64-i686-posix). Not
# part of tools/build.sh yet: configure a folder of its own with it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TALLYRA_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TALLYRA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TALLYRA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TALLYRA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TALLYRA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and discovery run the Windows binaries under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh)
