# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# The Windows program as users get it, from the cross build:
#   cmake --build <build> --target windows_packages
# leaves in <build>:
#   ravelle-<version>-win64.zip        a portable folder: ravelle.exe, the Qt
#                                      and MinGW DLLs and plugins it loads,
#                                      the equations page in doc\
#   ravelle-<version>-win64-setup.exe  a 64-bit installer of the same folder
# `cmake --install` lays out that folder; the DLLs are found by reading the
# imports of the program and of the plugins, so exactly those are shipped.

set(RAVELLE_WINDOWS_NAME "ravelle-${PROJECT_VERSION}-win64")

# The Qt plugins the program loads: the platform, the style Qt picks on
# Windows, and the GIF reader for the diagrams.
set(_plugins
    platforms Qt6::QWindowsIntegrationPlugin
    styles Qt6::QWindowsVistaStylePlugin
    imageformats Qt6::QGifPlugin)
while(_plugins)
    list(POP_FRONT _plugins _dir _plugin)
    install(IMPORTED_RUNTIME_ARTIFACTS ${_plugin}
        RUNTIME_DEPENDENCY_SET ravelle_dlls
        LIBRARY DESTINATION ${_dir} RUNTIME DESTINATION ${_dir})
endwhile()
install(TARGETS ravelle RUNTIME_DEPENDENCY_SET ravelle_dlls)

# The imports are read with the cross objdump; system DLLs stay on the system.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
find_program(RAVELLE_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${RAVELLE_MINGW_OBJDUMP})
get_target_property(_qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_qt_bin "${_qt_core}" DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE _libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
    OUTPUT_VARIABLE _winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_gcc_runtime "${_libstdcxx}" DIRECTORY)
get_filename_component(_pthread_runtime "${_winpthread}" DIRECTORY)
install(RUNTIME_DEPENDENCY_SET ravelle_dlls
    DESTINATION .
    DIRECTORIES "${_qt_bin}" "${_gcc_runtime}" "${_pthread_runtime}"
    PRE_INCLUDE_REGEXES "^Qt6" "^libgcc_s_seh" "^libstdc\\+\\+" "^libwinpthread"
    PRE_EXCLUDE_REGEXES ".*")

find_program(RAVELLE_MAKENSIS makensis REQUIRED)
set(_stage ${PROJECT_BINARY_DIR}/stage/${RAVELLE_WINDOWS_NAME})
set(_zip ${PROJECT_BINARY_DIR}/${RAVELLE_WINDOWS_NAME}.zip)
set(_setup ${PROJECT_BINARY_DIR}/${RAVELLE_WINDOWS_NAME}-setup.exe)
configure_file(${PROJECT_SOURCE_DIR}/cmake/ravelle.nsi.in ${PROJECT_BINARY_DIR}/ravelle.nsi @ONLY)
add_custom_command(
    OUTPUT ${_zip} ${_setup}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/stage
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${_stage}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/stage
            ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip ${RAVELLE_WINDOWS_NAME}
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${_stage} -DOUT=${PROJECT_BINARY_DIR}/uninstall-files.nsh
            -P ${PROJECT_SOURCE_DIR}/cmake/nsis-uninstall-list.cmake
    COMMAND ${RAVELLE_MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/ravelle.nsi
    DEPENDS ravelle ravelle_equations_page ${PROJECT_BINARY_DIR}/ravelle.nsi
            ${PROJECT_SOURCE_DIR}/cmake/nsis-uninstall-list.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Packing ${RAVELLE_WINDOWS_NAME}.zip and ${RAVELLE_WINDOWS_NAME}-setup.exe"
    VERBATIM)
add_custom_target(windows_packages DEPENDS ${_zip} ${_setup})
