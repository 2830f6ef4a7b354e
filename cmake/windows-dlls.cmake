# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Run at install time (cmake/windows.cmake): copies into RAVELLE_DLL_DEST the
# DLLs that RAVELLE_DLL_EXECUTABLES and RAVELLE_DLL_MODULES import, directly
# or through each other, found in RAVELLE_DLL_DIRECTORIES; DLLs of Windows
# itself stay out. The imports are read with the cross objdump.
#
# CMake up to 3.26 matches DLL names in lower case, as Windows does, later
# ones in their own case (Qt6Core.dll), which the files on Linux keep; so
# the search goes through a folder of links under both names, and each DLL
# is copied under its own name.
#
# When installing stripped (CPack does), these DLLs and the plugins already
# installed lose their symbol tables and debugging sections too: MinGW's
# libstdc++ alone carries some 20 MB of them.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${RAVELLE_OBJDUMP}")

set(_lookup "${RAVELLE_DLL_LOOKUP}")
file(REMOVE_RECURSE "${_lookup}")
file(MAKE_DIRECTORY "${_lookup}")
foreach(_dir IN LISTS RAVELLE_DLL_DIRECTORIES)
    file(GLOB _dlls "${_dir}/*.dll")
    foreach(_dll IN LISTS _dlls)
        get_filename_component(_name "${_dll}" NAME)
        string(TOLOWER "${_name}" _lower)
        foreach(_link IN ITEMS "${_name}" "${_lower}")
            if(NOT EXISTS "${_lookup}/${_link}")
                file(CREATE_LINK "${_dll}" "${_lookup}/${_link}" SYMBOLIC)
            endif()
        endforeach()
    endforeach()
endforeach()

file(GET_RUNTIME_DEPENDENCIES
    RESOLVED_DEPENDENCIES_VAR _found
    UNRESOLVED_DEPENDENCIES_VAR _missing
    EXECUTABLES ${RAVELLE_DLL_EXECUTABLES}
    MODULES ${RAVELLE_DLL_MODULES}
    DIRECTORIES "${_lookup}"
    PRE_INCLUDE_REGEXES "^qt6" "^libgcc_s_seh" "^libstdc\\+\\+" "^libwinpthread"
    PRE_EXCLUDE_REGEXES ".*")
if(_missing)
    message(FATAL_ERROR "DLLs not found: ${_missing}")
endif()
foreach(_dll IN LISTS _found)
    file(REAL_PATH "${_dll}" _real)
    get_filename_component(_name "${_real}" NAME)
    message(STATUS "Installing: ${RAVELLE_DLL_DEST}/${_name}")
    file(COPY_FILE "${_real}" "${RAVELLE_DLL_DEST}/${_name}" ONLY_IF_DIFFERENT)
endforeach()
file(REMOVE_RECURSE "${_lookup}")
if(CMAKE_INSTALL_DO_STRIP)
    file(GLOB_RECURSE _installed "${RAVELLE_DLL_DEST}/*.dll")
    execute_process(COMMAND "${RAVELLE_STRIP}" --strip-all ${_installed}
        COMMAND_ERROR_IS_FATAL ANY)
endif()
