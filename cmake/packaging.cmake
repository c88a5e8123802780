# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, built by CPack from the install rules (scripts/package.sh sets
# the build up: Release, Debian's hardening flags, prefix /usr, no tests).
set(KEYVALE_MAINTAINER "Larkmoor <keyvale@larkmoor.org>")

if(KEYVALE_DEBIAN_PACKAGE)
    # copyright (DEP-5) and changelog.gz (a native package's name for it) stand in
    # for LICENSE in the package's documentation folder.
    set(debian_dir ${CMAKE_BINARY_DIR}/debian)
    # The changelog dates the release as RFC 2822 wants it.
    execute_process(COMMAND date -u -R -d ${KEYVALE_RELEASE_DATE}
        OUTPUT_VARIABLE KEYVALE_RELEASE_TIME OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    foreach(name copyright changelog)
        file(READ ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/${name} text)
        string(REGEX REPLACE "^(#[^\n]*\n)+" "" text "${text}")
        file(CONFIGURE OUTPUT ${debian_dir}/${name} CONTENT "${text}" @ONLY)
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/copyright ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog)
    add_custom_command(OUTPUT ${debian_dir}/changelog.gz
        COMMAND ${KEYVALE_GZIP} -n -9 -f -k ${debian_dir}/changelog
        DEPENDS ${debian_dir}/changelog
        COMMENT "Compressing the Debian changelog"
        VERBATIM)
    add_custom_target(keyvale_debian_changelog ALL DEPENDS ${debian_dir}/changelog.gz)
    install(FILES ${debian_dir}/copyright ${debian_dir}/changelog.gz DESTINATION ${KEYVALE_INSTALL_DOCDIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keyvale)
set(CPACK_PACKAGE_VERSION ${KEYVALE_VERSION})
set(CPACK_PACKAGE_VENDOR Larkmoor)
set(CPACK_PACKAGE_CONTACT ${KEYVALE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing tutor for learners of keyboard fingering")
# CPack puts the summary on the Description line itself; this is the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Keyvale teaches touch typing with a Simplified Chinese interface. The learner
chooses a plain-text file and copies it three rows at a time into typing
boxes, and sees errors, a running clock, the speed and a score while typing.
A finished practice opens a score dialog that appends the result to an HTML
report in the working directory.
.
Ten practice texts ship with the program, from the home row to short Chinese
essays; texts in UTF-8, UTF-16 or GBK with any line ends work too.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KEYVALE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from dpkg-shlibdeps; the rest are what the program
# needs at run time but does not link, listed in cmake/debian/depends.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
file(STRINGS cmake/debian/depends depends REGEX "^[^#]")
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The bell's sound, and libcanberra's PulseAudio (and PipeWire) back end, the only one
# the program uses: without either the Wayland bell is silent. Qt's Wayland platform:
# without it the program runs as an X11 client of the compositor's Xwayland, whose
# bell no Wayland desktop plays. A web browser shows the score report.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "sound-theme-freedesktop, libcanberra-pulse, qt6-wayland, x-www-browser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
