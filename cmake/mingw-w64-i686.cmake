# Cross build for 32-bit Windows (the modules for 32-bit programs) with
# Debian's MinGW-w64 (posix thread model, g++-mingw-w64-i686-posix):
# tools/build.sh configures build/win32 with it.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TALLYRA_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
