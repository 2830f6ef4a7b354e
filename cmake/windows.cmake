# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# The Windows program as users get it, from the cross build:
#   cmake --build <build> --target package
# leaves in <build>, made by CPack from what `cmake --install` lays out:
#   ravelle-<version>-win64.zip        a portable folder: ravelle.exe, the Qt
#                                      and MinGW DLLs and plugins it loads,
#                                      the equations page in doc\
#   ravelle-<version>-win64-setup.exe  a 64-bit installer of the same folder
# The DLLs are found by reading the imports of the program and of the
# plugins, so exactly those are shipped.

# The Qt plugins the program loads: the platform, the style it chooses on
# Windows (windowsvista, which Qt 6.8 keeps in its modern Windows styles'
# plugin), and the GIF reader for the diagrams.
set(_plugins
    platforms Qt6::QWindowsIntegrationPlugin
    styles Qt6::QModernWindowsStylePlugin
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
    set(RAVELLE_STRIP \"${CMAKE_STRIP}\")
    set(RAVELLE_DLL_EXECUTABLES \"$<TARGET_FILE:ravelle>\")
    set(RAVELLE_DLL_MODULES \"${_modules}\")
    set(RAVELLE_DLL_DIRECTORIES \"${_runtime_dirs}\")
    set(RAVELLE_DLL_LOOKUP \"${PROJECT_BINARY_DIR}/dll-lookup\")
    set(RAVELLE_DLL_DEST \"\${CMAKE_INSTALL_PREFIX}\")
    include(\"${PROJECT_SOURCE_DIR}/cmake/windows-dlls.cmake\")")

# The packages. The uninstaller CPack writes deletes the files it installed
# one by one and their folders only if empty, so what a user put beside them
# stays.
set(CPACK_GENERATOR ZIP NSIS64)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # all four parts
set(CPACK_PACKAGE_VENDOR "Ravelle developers")
# The folder in Program Files and in the Start menu, and the Add/Remove
# Programs entry.
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ravelle)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_UNINSTALL_NAME uninstall)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/ravelle.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME ravelle.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN ravelle.exe)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# An older Ravelle goes first, or its files that this one lacks would stay.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# CPack's installer is a 32-bit one, whose registry entries Windows moves
# aside (WOW6432Node); a 64-bit program's belong in the 64-bit registry.
# CPack splits this at spaces unless escaped.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS [[-XTarget\ amd64-unicode]])
# CPack's installer has no .onInit of ours: Windows is checked as installing
# begins, in silent installs too. The folder CPack has just made and entered
# goes again; a folder in use cannot be removed.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [[
!include "WinVer.nsh"
${IfNot} ${AtLeastWin10}
    MessageBox MB_ICONSTOP|MB_OK "Ravelle needs Windows 10 or later." /SD IDOK
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    Abort
${EndIf}]])
# The shortcut by hand, not from CPACK_PACKAGE_EXECUTABLES: CPack's
# uninstaller deletes those only from the default Start-menu folder, but
# these extra commands from the one chosen too. The last line removes the
# vendor's registry key, emptied by then, which CPack leaves.
# Beside the program, the equations page, for a builder who starts with the
# driver and the box.
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Ravelle.lnk" "$INSTDIR\ravelle.exe"
CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Design a box.lnk" "$INSTDIR\doc\vent-proof-adv.htm"]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
Delete "$SMPROGRAMS\$MUI_TEMP\Ravelle.lnk"
Delete "$SMPROGRAMS\$MUI_TEMP\Design a box.lnk"
DeleteRegKey /ifempty SHCTX "Software\Ravelle developers"]])
# The installer's name says what it is: ravelle-<version>-win64-setup.exe.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-setup-name.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} [[
if(CPACK_GENERATOR MATCHES "NSIS")
    string(APPEND CPACK_PACKAGE_FILE_NAME "-setup")
endif()
]])
include(CPack)
