# Installs the build into a fresh prefix and checks the freedesktop.org layout.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -P installcheck.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(path
        bin/keyvale
        lib/keyvale/keyvale
        share/applications/keyvale.desktop
        share/icons/hicolor/16x16/apps/keyvale.png
        share/icons/hicolor/32x32/apps/keyvale.png)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
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
file(READ "${PREFIX}/share/applications/keyvale.desktop" entry)
foreach(line "Name=Keyvale" "Exec=keyvale" "Icon=keyvale" "Categories=Education;")
    string(FIND "${entry}" "${line}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "the menu entry lacks ${line}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
