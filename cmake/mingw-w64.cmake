# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, posix thread
# model (Qt needs std::thread and friends). Libraries and packages come only
# from the MinGW sysroot and from the cross-built Qt (with GoogleTest) in
# RAVELLE_MINGW_QT, never from the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

if(NOT RAVELLE_MINGW_QT)
    if(DEFINED ENV{RAVELLE_MINGW_QT})
        set(RAVELLE_MINGW_QT "$ENV{RAVELLE_MINGW_QT}")
    else()
        set(RAVELLE_MINGW_QT "$ENV{HOME}/.cache/ravelle/qt-mingw64")
    endif()
endif()
# try_compile projects see the same toolchain; hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RAVELLE_MINGW_QT)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_triple} "${RAVELLE_MINGW_QT}")
list(APPEND CMAKE_PREFIX_PATH "${RAVELLE_MINGW_QT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
