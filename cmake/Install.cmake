# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts in place and the Debian packages carry.
# Each install rule names the Debian package it goes into (cmake/Packaging.cmake):
#   tresmon   the program, tresmon-tool with its Qt half, desktop files
#   lib       libvlnkw32.so.1 (libvlnkw32-1)
#   dev       header, development link, pkg-config, CMake package, example
#   tools     cmdvlnk, the library's command-line front end (vlnkw32-tools)
#   sim       the handheld simulator (tresmon-handheld-sim)
# A rule without a component belongs to the program.
# Installed programs find libvlnkw32.so beside them, wherever the prefix is.
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
foreach(entry tresmon:tresmon tresmon-tool:tresmon vlnk-handheld-sim:sim cmdvlnk:tools)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 component)
  if(TARGET ${program})
    # tresmon-tool links no library of ours: without a run path it does not
    # look for libc beside itself (nor, in the build tree, in the current
    # folder, where CMake keeps room for the installed path as empty entries).
    if(NOT program STREQUAL "tresmon-tool")
      set_target_properties(${program} PROPERTIES INSTALL_RPATH "${CMAKE_INSTALL_RPATH}")
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  endif()
endforeach()
# The tool's Qt half is no command of its own: tresmon-tool runs it from here.
if(TARGET tresmon-tool-qt)
  install(TARGETS tresmon-tool-qt RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tresmon COMPONENT tresmon)
endif()
if(TARGET tresmon)
  install(FILES data/tresmon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tresmon)
  install(FILES data/tresmon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tresmon)
  install(FILES data/tresmon-tsd.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT tresmon)
endif()
# Manual pages go with their program.
foreach(entry tresmon:tresmon tresmon-tool:tresmon vlnk-handheld-sim:sim cmdvlnk:tools)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 component)
  if(TARGET ${program} AND EXISTS ${PROJECT_SOURCE_DIR}/doc/man/${program}.1)
    install(FILES doc/man/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
  endif()
endforeach()
# Each package names its licence where Debian looks for it, and the program
# package carries the file format description.
foreach(entry tresmon:tresmon lib:libvlnkw32-1 dev:libvlnkw32-dev tools:vlnkw32-tools sim:tresmon-handheld-sim)
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 component)
  list(GET entry 1 package)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} RENAME copyright COMPONENT ${component})
endforeach()
install(FILES doc/tsd-format.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tresmon COMPONENT tresmon)

include(cmake/Packaging.cmake)
