# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and GoogleTest need). Programs are linked statically, so
# they run under wine or on Windows without the compiler's DLLs, and run under wine when CMake
# or CTest start them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZANFIRO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZANFIRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZANFIRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZANFIRO_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZANFIRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
find_program(ZANFIRO_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(ZANFIRO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZANFIRO_WINE})
endif()
