# SPDX-License-Identifier: GPL-3.0-or-later
# A shared library the programs open at run time instead of linking it
# (src/doc/runtimelib.h): the name the dynamic loader knows it by is the
# SONAME of the file found here, and the Debian package that holds it is
# what the package tresmon must depend on by hand, since no linker and so
# no dpkg-shlibdeps sees it.
#
#   tres_runtime_library(FILE WHAT SONAME_VAR PACKAGE_VAR)
function(tres_runtime_library file what soname_var package_var)
  execute_process(COMMAND ${CMAKE_READELF} -d --wide ${file} OUTPUT_VARIABLE dynamic ERROR_QUIET)
  if(NOT dynamic MATCHES "\\(SONAME\\)[^\n]*\\[([^]\n]+)\\]")
    message(FATAL_ERROR "No SONAME in ${file} (${what}), read with '${CMAKE_READELF} -d'")
  endif()
  set(soname ${CMAKE_MATCH_1})
  # The package dpkg installed the file from, else the name Debian's policy
  # gives a library package: the SONAME's name and version, with a hyphen
  # where the name ends in a digit.
  file(REAL_PATH ${file} real)
  execute_process(COMMAND dpkg-query -S ${real} OUTPUT_VARIABLE owner RESULT_VARIABLE rc ERROR_QUIET)
  if(rc EQUAL 0 AND owner MATCHES "^([^:,]+)")
    set(package ${CMAKE_MATCH_1})
  else()
    string(REGEX REPLACE "^(.*[0-9])\\.so\\.(.*)$" "\\1-\\2" package ${soname})
    string(REGEX REPLACE "^(.*)\\.so\\.(.*)$" "\\1\\2" package ${package})
  endif()
  message(STATUS "${what} at run time: ${soname} (package ${package})")
  set(${soname_var} ${soname} PARENT_SCOPE)
  set(${package_var} ${package} PARENT_SCOPE)
endfunction()
