# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DCLANG_FORMAT=... -DROOT=... -P CheckFormat.cmake
# Fails when a source file of the tree differs from what .clang-format makes
# of it, and names the files.
file(GLOB_RECURSE sources LIST_DIRECTORIES false
     ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c
     ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp
     ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.c
     ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp ${ROOT}/examples/*.c)
list(SORT sources)
set(bad "")
foreach(f IN LISTS sources)
  execute_process(COMMAND ${CLANG_FORMAT} --style=file --dry-run --Werror ${f}
                  RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    file(RELATIVE_PATH rel ${ROOT} ${f})
    string(APPEND bad "  ${rel}\n")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Not in the tree's style (run clang-format -i on them):\n${bad}")
endif()
