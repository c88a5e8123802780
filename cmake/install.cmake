# SPDX-License-Identifier: GPL-3.0-or-later
# Installation in the freedesktop.org layout. The program and its practice texts share
# a folder of their own, lib/keyvale; bin/keyvale is a relative symbolic link to the
# program, which still finds its folder through the link. The desktop's files (menu
# entry, AppStream metainfo, icons) are named by the application id.
include(GNUInstallDirs)
set(KEYVALE_INSTALL_PROGRAMDIR lib/keyvale)
install(TARGETS keyvale RUNTIME DESTINATION ${KEYVALE_INSTALL_PROGRAMDIR})
install(FILES ${KEYVALE_PRACTICE_TEXTS} DESTINATION ${KEYVALE_INSTALL_PROGRAMDIR})
install(CODE [[
    set(link "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/keyvale")
    message(STATUS "Installing: ${link}")
    file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(CREATE_LINK ../lib/keyvale/keyvale "${link}" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/bin/keyvale")
]])

# Stands in until the project has a web site of its own; the AppStream screenshots are
# expected under it, as in resources/screenshots/.
set(KEYVALE_HOMEPAGE "https://larkmoor.org/keyvale/" CACHE STRING
    "The project's web page, ending in a slash; the metainfo names its screenshots below it")

install(FILES resources/${KEYVALE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(resources/${KEYVALE_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${KEYVALE_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${KEYVALE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# resources/make-pictures.sh draws the icons in the theme's own layout.
install(DIRECTORY resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages are installed compressed, without a name or time stamp in the header,
# so that the same page always gives the same bytes.
find_program(KEYVALE_GZIP gzip REQUIRED)
set(manpage ${CMAKE_BINARY_DIR}/man/keyvale.1)
configure_file(resources/keyvale.1 ${manpage} @ONLY)
add_custom_command(OUTPUT ${manpage}.gz
    COMMAND ${KEYVALE_GZIP} -n -9 -f -k ${manpage}
    DEPENDS ${manpage}
    COMMENT "Compressing the manual page"
    VERBATIM)
add_custom_target(keyvale_manpage ALL DEPENDS ${manpage}.gz)
install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package carries the licence in its copyright file (cmake/packaging.cmake)
# and leaves the full text to /usr/share/common-licenses.
option(KEYVALE_DEBIAN_PACKAGE "Install the Debian package's copyright and changelog instead of LICENSE" OFF)
set(KEYVALE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/keyvale)
if(NOT KEYVALE_DEBIAN_PACKAGE)
    install(FILES LICENSE DESTINATION ${KEYVALE_INSTALL_DOCDIR})
endif()
