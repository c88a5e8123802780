# SPDX-License-Identifier: GPL-3.0-or-later
# The folders are layers, the program's start on top and the plain helpers at the
# bottom: a source file includes nothing from a folder above its own.
# Run as: cmake -DSOURCE_DIR=... -P layercheck.cmake
set(layers base platform forms score practice app)
set(wrong "")
foreach(layer IN LISTS layers)
    list(FIND layers ${layer} level)
    file(GLOB sources "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.h")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" includes REGEX "^#include \"[a-z]+/")
        foreach(include IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" folder "${include}")
            list(FIND layers ${folder} above)
            if(above GREATER level)
                file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
                string(APPEND wrong "\n  ${name}: ${include}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(wrong)
    message(FATAL_ERROR "includes from a folder above:${wrong}")
endif()
