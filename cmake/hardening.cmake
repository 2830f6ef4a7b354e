# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Linux: optimised builds are built the way the Debian package ships them,
# so the package made from any build tree carries what lintian and
# hardening-check look for, and two builds in different folders give the
# same bytes. Sanitizer and fuzz builds are test instruments and keep their
# own flags; unoptimised builds keep absolute paths for the debugger.
include_guard(GLOBAL)
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   OR RAVELLE_SANITIZE OR RAVELLE_FUZZ)
    return()
endif()
include(CheckCXXCompilerFlag)

set(_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
# The build folders out of debug information and __FILE__: the source tree
# becomes ".", the build tree (given last, so it wins inside the source tree) too.
add_compile_options(
    "$<${_optimised}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
    "$<${_optimised}:-ffile-prefix-map=${PROJECT_BINARY_DIR}=.>"
    -Wdate-time -Werror=format-security -fstack-protector-strong
    # Fortification needs the optimiser; the C library warns without it.
    "$<${_optimised}:-U_FORTIFY_SOURCE>" "$<${_optimised}:-D_FORTIFY_SOURCE=2>")
# Not every target architecture has these two. -fcf-protection marks the
# program only if the C library's start files are marked too (Debian 12's
# are not), but our own code carries the checks either way.
foreach(_flag IN ITEMS -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "RAVELLE_HAS${_flag}" _var)
    check_cxx_compiler_flag(${_flag} ${_var})
    if(${_var})
        add_compile_options(${_flag})
    endif()
endforeach()
# Qt's targets already compile with -fPIC (required by its reduce-relocations
# build; -fPIE would be refused), so executables only need -pie at the link.
add_link_options("$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>" -Wl,-z,relro -Wl,-z,now)
unset(_optimised)
# Qt's resource compiler stores each embedded file's modification time, which
# differs from checkout to checkout; nothing reads it, so it gets a fixed one
# (a SOURCE_DATE_EPOCH given to the build still wins).
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM "${CMAKE_COMMAND} -E env QT_RCC_SOURCE_DATE_OVERRIDE=1")
# This build tree has every flag the package ships with; the package tests
# hold it to that.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    set(RAVELLE_SHIPPED_FLAGS ON)
endif()
