# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a fresh prefix and checks the freedesktop.org layout: the
# program and its texts, the link to it, the menu entry, the AppStream metainfo, the
# icons, the manual page and the licence. With -DVALIDATE=desktop or
# -DVALIDATE=appstream it also runs that standard's own validator on what was installed.
# Run as: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DPREFIX=... -DAPP_ID=... -DVERSION=...
#         [-DVALIDATE=...] -P installcheck.cmake
set(app_id ${APP_ID})
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
set(icon_sizes 16 22 24 32 48 64 128 256)
set(expected
    bin/keyvale
    lib/keyvale/keyvale
    share/applications/${app_id}.desktop
    share/metainfo/${app_id}.metainfo.xml
    share/icons/hicolor/scalable/apps/${app_id}.svg
    share/man/man1/keyvale.1.gz
    share/doc/keyvale/LICENSE)
foreach(size IN LISTS icon_sizes)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${app_id}.png)
endforeach()
foreach(path IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
# The names from before the application id must be gone.
foreach(path share/applications/keyvale.desktop share/icons/hicolor/16x16/apps/keyvale.png
             share/icons/hicolor/32x32/apps/keyvale.png)
    if(EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "installed under an old name: ${path}")
    endif()
endforeach()

# bin/keyvale is a relative link to the program, beside which lie all the shipped texts.
file(READ_SYMLINK "${PREFIX}/bin/keyvale" target)
if(NOT target STREQUAL "../lib/keyvale/keyvale")
    message(FATAL_ERROR "bin/keyvale links to '${target}'")
endif()
file(GLOB texts RELATIVE "${SOURCE_DIR}/resources/texts" "${SOURCE_DIR}/resources/texts/*.txt")
list(LENGTH texts count)
if(count LESS 8)
    message(FATAL_ERROR "only ${count} practice texts in the source")
endif()
foreach(text IN LISTS texts)
    if(NOT EXISTS "${PREFIX}/lib/keyvale/${text}")
        message(FATAL_ERROR "practice text not installed: ${text}")
    endif()
endforeach()

file(READ "${PREFIX}/share/applications/${app_id}.desktop" entry)
foreach(line "Name=Keyvale" "Exec=keyvale %f" "MimeType=text/plain;" "TryExec=keyvale" "Icon=${app_id}")
    string(FIND "${entry}" "\n${line}\n" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the menu entry lacks the line ${line}")
    endif()
endforeach()
if(NOT entry MATCHES "\nCategories=([^\n]*;)?Education;")
    message(FATAL_ERROR "the menu entry is not in the category Education")
endif()

# Each PNG is as large as the folder it lies in says (width and height from IHDR).
foreach(size IN LISTS icon_sizes)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${app_id}.png")
    file(READ "${icon}" header LIMIT 24 HEX)
    string(SUBSTRING "${header}" 0 16 signature)
    string(SUBSTRING "${header}" 32 8 width)
    string(SUBSTRING "${header}" 40 8 height)
    math(EXPR width "0x${width}")
    math(EXPR height "0x${height}")
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
        message(FATAL_ERROR "${size}x${size}/apps/${app_id}.png is not a ${size}x${size} PNG")
    endif()
endforeach()

# The metainfo names the release that CMakeLists.txt sets, with nothing left to fill in.
set(version ${VERSION})
file(READ "${PREFIX}/share/metainfo/${app_id}.metainfo.xml" metainfo)
string(FIND "${metainfo}" "@" placeholder)
string(FIND "${metainfo}" "<release version=\"${version}\"" release)
if(NOT placeholder EQUAL -1 OR release EQUAL -1)
    message(FATAL_ERROR "the metainfo does not name release ${version}, or keeps a placeholder")
endif()

# validator FILE...: runs a validator, which must succeed and, for the menu entry, be silent.
function(validate silent)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    message("${output}")
    if(NOT result EQUAL 0 OR (silent AND NOT output STREQUAL ""))
        message(FATAL_ERROR "${ARGV1} found problems")
    endif()
endfunction()
if(VALIDATE STREQUAL "desktop")
    find_program(tool desktop-file-validate REQUIRED)
    validate(TRUE "${tool}" "${PREFIX}/share/applications/${app_id}.desktop")
elseif(VALIDATE STREQUAL "appstream")
    find_program(tool appstreamcli REQUIRED)
    validate(FALSE "${tool}" validate --no-net --pedantic "${PREFIX}/share/metainfo/${app_id}.metainfo.xml")
    # The whole tree too: the metainfo with the menu entry and the icons it launches.
    validate(FALSE "${tool}" validate-tree --no-net "${PREFIX}")
elseif(DEFINED VALIDATE)
    message(FATAL_ERROR "unknown VALIDATE=${VALIDATE}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
