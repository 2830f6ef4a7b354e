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
set(_modules)
while(_plugins)
    list(POP_FRONT _plugins _dir _plugin)
    install(IMPORTED_RUNTIME_ARTIFACTS ${_plugin} LIBRARY DESTINATION ${_dir} RUNTIME DESTINATION ${_dir})
    list(APPEND _modules "$<TARGET_FILE:${_plugin}>")
endwhile()

# The Qt and MinGW runtime DLLs that the program and the plugins import.
find_program(RAVELLE_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
get_target_property(_qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_qt_bin "${_qt_core}" DIRECTORY)
set(_runtime_dirs "${_qt_bin}")
foreach(_dll IN ITEMS libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
        OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_path "${_path}" DIRECTORY)
    list(APPEND _runtime_dirs "${_path}")
endforeach()
install(CODE "
    set(RAVELLE_OBJDUMP \"${RAVELLE_MINGW_OBJDUMP}\")
    set(RAVELLE_DLL_EXECUTABLES \"$<TARGET_FILE:ravelle>\")
    set(RAVELLE_DLL_MODULES \"${_modules}\")
    set(RAVELLE_DLL_DIRECTORIES \"${_runtime_dirs}\")
    set(RAVELLE_DLL_LOOKUP \"${PROJECT_BINARY_DIR}/dll-lookup\")
    set(RAVELLE_DLL_DEST \"\${CMAKE_INSTALL_PREFIX}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/windows-dlls.cmake\")")

find_program(RAVELLE_MAKENSIS makensis REQUIRED)
set(_stage ${PROJECT_BINARY_DIR}/stage/${RAVELLE_WINDOWS_NAME})
set(_zip ${PROJECT_BINARY_DIR}/${RAVELLE_WINDOWS_NAME}.zip)
set(_setup ${PROJECT_BINARY_DIR}/${RAVELLE_WINDOWS_NAME}-setup.exe)
configure_file(${PROJECT_SOURCE_DIR}/cmake/ravelle.nsi.in ${PROJECT_BINARY_DIR}/ravelle.nsi @ONLY)
# Packed anew on every request: cheap, and never stale.
add_custom_target(windows_packages
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/stage
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${_stage} --strip
    COMMAND ${CMAKE_COMMAND} -E rm -f ${_zip}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/stage
            ${CMAKE_COMMAND} -E tar cf ${_zip} --format=zip ${RAVELLE_WINDOWS_NAME}
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${_stage} -DOUT=${PROJECT_BINARY_DIR}/uninstall-files.nsh
            -P ${PROJECT_SOURCE_DIR}/cmake/nsis-uninstall-list.cmake
    COMMAND ${RAVELLE_MAKENSIS} -V2 -NOCD ${PROJECT_BINARY_DIR}/ravelle.nsi
    BYPRODUCTS ${_zip} ${_setup}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Packing ${RAVELLE_WINDOWS_NAME}.zip and ${RAVELLE_WINDOWS_NAME}-setup.exe"
    VERBATIM)
add_dependencies(windows_packages ravelle ravelle_equations_page)
