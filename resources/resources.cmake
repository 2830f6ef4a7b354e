# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Ravelle developers
#
# The program's images and its desktop identity.
#   include(resources/resources.cmake)
#   ravelle_add_images(<target>)   embeds the diagrams and icons as ":/<name>"
#   ravelle_install_identity()     installs the .desktop, metainfo and hicolor icons
# The images are made by tools/generate_images.py and committed.

include_guard(GLOBAL)
include(GNUInstallDirs)

# Functions run in the caller's scope, so the folders are kept in global
# properties captured here rather than read from CMAKE_CURRENT_LIST_DIR later.
get_filename_component(_ravelle_resources_dir "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
get_filename_component(_ravelle_app_dir "${CMAKE_CURRENT_LIST_DIR}/../app" ABSOLUTE)
set_property(GLOBAL PROPERTY RAVELLE_RESOURCES_DIR "${_ravelle_resources_dir}")
set_property(GLOBAL PROPERTY RAVELLE_APP_DIR "${_ravelle_app_dir}")
set_property(GLOBAL PROPERTY RAVELLE_ICON_SIZES 16 32 48 64 128 256)
unset(_ravelle_resources_dir)
unset(_ravelle_app_dir)

function(ravelle_add_images target)
    get_property(dir GLOBAL PROPERTY RAVELLE_RESOURCES_DIR)
    set(files ravelle.ico)
    # Each diagram as drawn for screens of 1, 2 and 3 device pixels per
    # pixel; a finer one is read only on a screen that needs it.
    foreach(diagram IN ITEMS port_3tube port_5tube ring_plain ring_outer_strip ring_both_strips)
        list(APPEND files ${diagram}.gif ${diagram}@2x.gif ${diagram}@3x.gif)
    endforeach()
    # The window icon's sizes; 128 and 256 are read only for screens of finer
    # pixels.
    foreach(size IN ITEMS 16 32 48 64 128 256)
        list(APPEND files "icons/hicolor/${size}x${size}/apps/org.ravelle.Ravelle.png")
    endforeach()
    list(TRANSFORM files PREPEND "${dir}/")
    qt_add_resources(${target} "ravelle_images"
        PREFIX "/"
        BASE "${dir}"
        FILES ${files})
endfunction()

function(ravelle_install_identity)
    get_property(dir GLOBAL PROPERTY RAVELLE_RESOURCES_DIR)
    get_property(app GLOBAL PROPERTY RAVELLE_APP_DIR)
    get_property(sizes GLOBAL PROPERTY RAVELLE_ICON_SIZES)
    # The menu entry names the installed page by its absolute path, which is
    # known only once the prefix is.
    install(CODE "
        set(RAVELLE_PAGE \"\${CMAKE_INSTALL_PREFIX}/${RAVELLE_INSTALL_PAGEDIR}/vent-proof-adv.htm\")
        configure_file(\"${app}/org.ravelle.Ravelle.desktop.in\"
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/org.ravelle.Ravelle.desktop\" @ONLY)
        message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/org.ravelle.Ravelle.desktop\")")
    install(FILES "${app}/org.ravelle.Ravelle.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    foreach(size IN LISTS sizes)
        set(sub "icons/hicolor/${size}x${size}/apps")
        install(FILES "${dir}/${sub}/org.ravelle.Ravelle.png"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/${sub}")
    endforeach()
    install(FILES "${dir}/icons/hicolor/scalable/apps/org.ravelle.Ravelle.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
endfunction()
