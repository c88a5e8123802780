# SPDX-License-Identifier: GPL-3.0-or-later
# Every source file says its licence in an SPDX line at its top.
# Run as: cmake -DSOURCE_DIR=... -P spdxcheck.cmake
file(GLOB_RECURSE candidates RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cmake" "${SOURCE_DIR}/*.sh"
     "${SOURCE_DIR}/*.py" "${SOURCE_DIR}/*CMakeLists.txt")
set(missing "")
foreach(file IN LISTS candidates)
    if(file MATCHES "^(build[^/]*|\\.git)/")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" head LIMIT_COUNT 3)
    if(NOT head MATCHES "SPDX-License-Identifier: GPL-3.0-or-later")
        list(APPEND missing "${file}")
    endif()
endforeach()
if(missing)
    list(JOIN missing "\n  " shown)
    message(FATAL_ERROR "no SPDX line at the top of:\n  ${shown}")
endif()
