# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
#
# ravelle_rc_icon_block(<ico file> <group id> <image id> <out var>)
# The icon group and its one image as raw resources of a resource script, so
# that the image gets its fixed identifier: the ICON statement would number
# the images itself. The bytes are read from the .ico file, its only source.
function(ravelle_rc_icon_block ico group_id image_id out_var)
    file(READ "${ico}" hex HEX)
    # Little-endian fields of the file's header and its one directory entry.
    macro(_field name offset bytes)
        set(_value "")
        foreach(_i RANGE ${bytes})
            if(_i LESS ${bytes})
                math(EXPR _at "(${offset} + ${bytes} - 1 - ${_i}) * 2")
                string(SUBSTRING "${hex}" ${_at} 2 _byte)
                string(APPEND _value "${_byte}")
            endif()
        endforeach()
        math(EXPR ${name} "0x${_value}")
    endmacro()
    _field(count 4 2)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "${ico}: ${count} images, the resource holds exactly one")
    endif()
    _field(size 14 4)
    _field(offset 18 4)

    # The little-endian 16-bit word at byte <at> of the file, as 0xHHLL.
    macro(_word at)
        math(EXPR _lo "(${at}) * 2")
        math(EXPR _hi "${_lo} + 2")
        string(SUBSTRING "${hex}" ${_lo} 2 _lo_byte)
        string(SUBSTRING "${hex}" ${_hi} 2 _hi_byte)
        string(TOUPPER "${_hi_byte}${_lo_byte}" word)
        set(word "0x${word}")
    endmacro()

    # The image, as the 16-bit words a resource script takes.
    math(EXPR last "${size} / 2 - 1")
    set(words "")
    foreach(i RANGE ${last})
        _word("${offset} + 2 * ${i}")
        math(EXPR column "${i} % 12")
        if(i EQUAL 0)
            string(APPEND words "    ${word}")
        elseif(column EQUAL 0)
            string(APPEND words ",\n    ${word}")
        else()
            string(APPEND words ", ${word}")
        endif()
    endforeach()
    # The group: the directory entry's first 12 bytes, then the image's id.
    set(entry "")
    foreach(i RANGE 5)
        _word("6 + 2 * ${i}")
        string(APPEND entry "${word}, ")
    endforeach()
    set(${out_var} "${image_id} 3  // RT_ICON\nBEGIN\n${words}\nEND\n\n${group_id} 14  // RT_GROUP_ICON\nBEGIN\n    0, 1, 1, ${entry}${image_id}\nEND" PARENT_SCOPE)
endfunction()
