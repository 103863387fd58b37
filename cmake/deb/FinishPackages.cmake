# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack once the packages are built (CPACK_POST_BUILD_SCRIPTS); a
# package that needs either change is built again from its unpacked tree.
#  - CPack gives a package with a shared object in /usr/lib a postinst and a
#    postrm that call ldconfig whenever it brings no scripts of its own. A
#    package that activates the ldconfig trigger (deb/triggers) needs neither.
#  - A dependency that the same Depends field pins to one version
#    ("libvlnkw32-1 (= 3.18.0)") keeps no lower bound beside it: dpkg-shlibdeps
#    adds one from a libvlnkw32-1 installed on the build machine.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  set(changed FALSE)

  set(triggers "")
  if(EXISTS ${tree}/DEBIAN/triggers)
    file(STRINGS ${tree}/DEBIAN/triggers triggers REGEX "^activate-noawait ldconfig$")
  endif()
  foreach(script postinst postrm)
    if(triggers AND EXISTS ${tree}/DEBIAN/${script})
      file(READ ${tree}/DEBIAN/${script} text)
      string(REGEX REPLACE "[ \t\n]+" " " text "${text}")
      if(NOT text MATCHES "^#!/bin/sh set -e if \\[ \"\\$1\" = \"[a-z]+\" \\]; then ldconfig fi $")
        message(FATAL_ERROR "${deb}: ${script} is not CPack's ldconfig call: ${text}")
      endif()
      file(REMOVE ${tree}/DEBIAN/${script})
      set(changed TRUE)
    endif()
  endforeach()

  file(READ ${tree}/DEBIAN/control control)
  if(control MATCHES "\nDepends: ([^\n]*)")
    set(depends "${CMAKE_MATCH_1}")
    set(kept "${depends}")
    string(REGEX MATCHALL "[a-z0-9.+-]+ \\(= [^)]+\\)" pinned "${depends}")
    foreach(pin IN LISTS pinned)
      string(REGEX REPLACE " .*" "" name "${pin}")
      string(REGEX REPLACE "([.+])" "\\\\\\1" name "${name}")
      string(REGEX REPLACE ", ${name} \\(>= [^)]+\\)|${name} \\(>= [^)]+\\), " "" kept "${kept}")
    endforeach()
    if(NOT kept STREQUAL depends)
      string(REPLACE "\nDepends: ${depends}\n" "\nDepends: ${kept}\n" control "${control}")
      file(WRITE ${tree}/DEBIAN/control "${control}")
      set(changed TRUE)
    endif()
  endif()

  if(changed)
    execute_process(COMMAND dpkg-deb --root-owner-group -Zgzip -b ${tree} ${deb} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
