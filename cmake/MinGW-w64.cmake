# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model,
# package g++-mingw-w64-x86-64-posix); test programs run under Wine:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

find_program(TRASSOJKN_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT TRASSOJKN_MINGW_CXX)
  message(FATAL_ERROR "The Windows build needs MinGW-w64's x86_64-w64-mingw32-g++-posix "
    "(Debian: g++-mingw-w64-x86-64-posix), which was not found: install it with "
    "scripts/setup windows.")
endif()
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package: the 64-bit loader itself, not the /usr/bin/wine
# script that looks for a 32-bit Wine first. Quiet, and no display needed. Wine
# takes the ANSI code page from the locale: ja_JP.UTF-8 gives code page 932, as
# on the machines the library serves (generate it with
# `localedef -i ja_JP -f UTF-8 ja_JP.UTF-8`).
set(TRASSOJKN_WINE /usr/lib/wine/wine64 CACHE FILEPATH "Wine loader that runs the test programs")
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEDEBUG=-all DISPLAY= LC_ALL=ja_JP.UTF-8 ${TRASSOJKN_WINE})
