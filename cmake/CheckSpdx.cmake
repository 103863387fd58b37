# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DROOT=... -P CheckSpdx.cmake
# Fails when a source file lacks its SPDX licence line in its first three
# lines, or names another licence than its part of the tree has (the library
# and its example LGPL-2.1-or-later, the rest GPL-3.0-or-later); names the
# files. scripts/add-spdx.sh adds missing lines.
file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE ${ROOT}
     ${ROOT}/src/*.h ${ROOT}/src/*.cpp ${ROOT}/src/*.c ${ROOT}/src/*CMakeLists.txt
     ${ROOT}/tools/*.h ${ROOT}/tools/*.cpp ${ROOT}/tools/*CMakeLists.txt
     ${ROOT}/tests/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.c ${ROOT}/tests/*.py ${ROOT}/tests/*.sh
     ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp ${ROOT}/examples/*.c ${ROOT}/examples/*CMakeLists.txt
     ${ROOT}/scripts/*.sh ${ROOT}/scripts/*.py ${ROOT}/cmake/*.cmake ${ROOT}/doc/man/*.1)
list(APPEND sources CMakeLists.txt)
list(SORT sources)
set(bad "")
foreach(f IN LISTS sources)
  if(f MATCHES "^src/vlnk/|^examples/")
    set(want "LGPL-2.1-or-later")
  else()
    set(want "GPL-3.0-or-later")
  endif()
  file(STRINGS ${ROOT}/${f} head LIMIT_COUNT 3)
  string(FIND "${head}" "SPDX-License-Identifier: ${want}" at)
  if(at EQUAL -1)
    string(APPEND bad "  ${f} (${want})\n")
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "Without their SPDX licence line (scripts/add-spdx.sh adds it):\n${bad}")
endif()
