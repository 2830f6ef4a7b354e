# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Packages: on Linux a Debian package (scripts/package.sh builds it),
#   cpack --config <build>/CPackConfig.cmake   ->  ravelle_<version>_<arch>.deb
# The package holds what `cmake --install` puts under /usr.

set(RAVELLE_PACKAGE_MAINTAINER "Ravelle developers <developers@ravelle.org>" CACHE STRING
    "Maintainer field of the packages: a name and an e-mail address")

set(CPACK_PACKAGE_NAME ravelle)
set(CPACK_PACKAGE_VENDOR "Ravelle developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${RAVELLE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "folded bass-reflex port calculator for loudspeaker builders")
set(CPACK_PACKAGE_DESCRIPTION [=[
Ravelle sizes a folded bass-reflex port made of 3 or 5 nested, coaxial tubes.
From the inside diameter of the small tube, the wall thickness of every tube,
the desired acoustic length and the thickness of the end cap, it works out the
inside diameter and end gap of every tube, the physical length of the port,
its outside diameter, the volume it takes up in the enclosure and the minimum
box depth. A second window, the tube-maker, tells how wide a strip to cut out
of, or let into, two layers of plastic tubing to make a tube of another size.]=])
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${RAVELLE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program links come from dpkg-shlibdeps. Qt loads two
# plugins at run time that no link records: the xcb platform
# (plugins/platforms/libqxcb.so) and the GIF reader for the diagrams
# (plugins/imageformats/libqgif.so). On Debian 12 both ship in libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6gui6 (>= 6.4)")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # What Debian expects beside the program: the manual page and the
    # changelog, compressed without name or time stamp so that they are the
    # same bytes in every build, and the lintian overrides.
    find_program(RAVELLE_GZIP gzip REQUIRED)
    set(_doc_out ${PROJECT_BINARY_DIR}/share/packaging)
    set(_compressed)
    foreach(_doc IN ITEMS ravelle.1 changelog)
        add_custom_command(OUTPUT ${_doc_out}/${_doc}.gz
            COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/${_doc} ${_doc_out}/${_doc}
            COMMAND ${RAVELLE_GZIP} -9nf ${_doc_out}/${_doc}
            DEPENDS ${PROJECT_SOURCE_DIR}/docs/${_doc}
            COMMENT "Compressing ${_doc}" VERBATIM)
        list(APPEND _compressed ${_doc_out}/${_doc}.gz)
    endforeach()
    add_custom_target(ravelle_package_docs ALL DEPENDS ${_compressed})
    install(FILES ${_doc_out}/ravelle.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${_doc_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/app/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ravelle)
    # A stripped program as dh_strip leaves it: without the compiler's
    # .comment and the linker's .note sections either.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:ravelle>\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
    # Time stamps in the package: SOURCE_DATE_EPOCH, worked out when packing
    # (cmake/package_epoch.cmake), so a commit made after configuring counts.
    set(CPACK_RAVELLE_SOURCE_DIR "${PROJECT_SOURCE_DIR}")
    set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/package_epoch.cmake")
endif()

include(CPack)
