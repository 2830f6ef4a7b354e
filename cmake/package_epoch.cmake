# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# Read by cpack before it packs: sets SOURCE_DATE_EPOCH, the time stamp the
# DEB generator gives every member of the package, unless the caller has set
# it. It is the time of the last commit; a source tree that is not a git
# checkout of its own (an unpacked tarball) takes the date of the newest
# changelog entry, as dpkg-buildpackage would.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    return()
endif()
set(_epoch "")
execute_process(COMMAND git -C "${CPACK_RAVELLE_SOURCE_DIR}" rev-parse --show-toplevel
    OUTPUT_VARIABLE _top OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE _status)
if(_status EQUAL 0)
    file(REAL_PATH "${CPACK_RAVELLE_SOURCE_DIR}" _source)
    file(REAL_PATH "${_top}" _top)
endif()
# Only the tree's own repository: a copy inside another checkout must not
# take that checkout's commit.
if(_status EQUAL 0 AND _top STREQUAL _source)
    execute_process(COMMAND git -C "${CPACK_RAVELLE_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE _epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT _epoch MATCHES "^[0-9]+$")
    execute_process(COMMAND dpkg-parsechangelog -l "${CPACK_RAVELLE_SOURCE_DIR}/docs/changelog" -S Timestamp
        OUTPUT_VARIABLE _epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
set(ENV{SOURCE_DATE_EPOCH} "${_epoch}")
