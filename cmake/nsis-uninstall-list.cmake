# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# cmake -DSTAGE=<folder> -DOUT=<file.nsh> -P nsis-uninstall-list.cmake
# Writes the installed size and, as a macro, the uninstaller's commands for exactly the files and folders of the
# staged program, deepest folders last, so that uninstalling removes what
# was installed and nothing a user put beside it.
file(GLOB_RECURSE _files RELATIVE "${STAGE}" LIST_DIRECTORIES false "${STAGE}/*")
file(GLOB_RECURSE _all RELATIVE "${STAGE}" LIST_DIRECTORIES true "${STAGE}/*")
list(REMOVE_ITEM _all ${_files})
list(SORT _files)
list(SORT _all ORDER DESCENDING) # a folder after the folders inside it
set(_bytes 0)
foreach(_file IN LISTS _files)
    file(SIZE "${STAGE}/${_file}" _size)
    math(EXPR _bytes "${_bytes} + ${_size}")
endforeach()
math(EXPR _kib "(${_bytes} + 1023) / 1024")
# Add/Remove Programs shows the size; the uninstaller section includes the rest.
set(_text "!define INSTALLED_SIZE_KIB ${_kib}\n!macro RAVELLE_REMOVE_FILES\n")
foreach(_file IN LISTS _files)
    string(REPLACE "/" "\\" _file "${_file}")
    string(APPEND _text "Delete \"$INSTDIR\\${_file}\"\n")
endforeach()
foreach(_dir IN LISTS _all)
    string(REPLACE "/" "\\" _dir "${_dir}")
    string(APPEND _text "RMDir \"$INSTDIR\\${_dir}\"\n")
endforeach()
string(APPEND _text "!macroend\n")
file(WRITE "${OUT}" "${_text}")
