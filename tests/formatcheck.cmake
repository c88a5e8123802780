# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ source is formatted as the root .clang-format says.
# Run as: cmake -DSOURCE_DIR=... -DCLANG_FORMAT=... -P formatcheck.cmake
if(NOT CLANG_FORMAT)
    message("clang-format is not installed: the formatting is not checked")
    cmake_language(EXIT 77)
endif()
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h")
list(FILTER sources EXCLUDE REGEX "^(build[^/]*|\\.git)/")
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run -Werror ${sources}
                WORKING_DIRECTORY "${SOURCE_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "formatted otherwise than .clang-format says: clang-format -i the files above")
endif()
