# Cross-build for 64-bit Windows with Debian's MinGW-w64 compilers (packages
# g++-mingw-w64-x86-64-posix and mingw-w64-x86-64-dev); the "posix" variants
# give std::thread and std::mutex. Programs are linked statically (C and C++
# runtime, winpthread), so an .exe runs without DLLs beside it.
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Test programs run under Wine (see CMakeLists.txt: KORVANE_WINE).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KORVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KORVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KORVANE_MINGW_PREFIX}-windres)

# Libraries and headers of the target only; programs (Wine, code
# generators) of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Prefixes of the target's libraries outside the MinGW-w64 root (Qt for
# Windows and the libraries of tools/windows-deps.sh): searched as roots of
# their own, and handed on to CMake's test builds.
set(KORVANE_WINDOWS_PREFIXES "" CACHE STRING "Folders holding Windows libraries (Qt, libzip, ...)")
list(APPEND CMAKE_FIND_ROOT_PATH ${KORVANE_WINDOWS_PREFIXES})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORVANE_WINDOWS_PREFIXES)
