# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts in place and the Debian packages carry.
# Each install rule names the Debian package it goes into (cmake/Packaging.cmake):
#   tresmon   the program, tresmon-tool with its Qt half, desktop files
#   lib       libvlnkw32.so.1 (libvlnkw32-1)
#   dev       header, development link, pkg-config, CMake package, example
#   tools     cmdvlnk, the library's command-line front end (vlnkw32-tools)
#   sim       the handheld simulator (tresmon-handheld-sim)
# A rule without a component belongs to the program.
# Programs with their component, and components with their package:
set(TRES_PROGRAMS tresmon:tresmon tresmon-tool:tresmon vlnk-handheld-sim:sim cmdvlnk:tools)
set(TRES_PACKAGES tresmon:tresmon lib:libvlnkw32-1 dev:libvlnkw32-dev tools:vlnkw32-tools sim:tresmon-handheld-sim)
set(TRES_MAINTAINER "Tresmon developers <tresmon@norvaken.invalid>")

# Installed programs find libvlnkw32.so beside them, wherever the prefix is.
set(CMAKE_INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
foreach(entry ${TRES_PROGRAMS})
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

# The Debian changelog and the AppStream releases come from CHANGELOG.md.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(package_docs ${PROJECT_BINARY_DIR}/package-docs)
set(metainfo ${package_docs}/de.norvaken.tresmon.metainfo.xml)
add_custom_command(OUTPUT ${package_docs}/changelog.gz ${metainfo}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_docs}
  COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/scripts/release-notes.py
          ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_VERSION} "${TRES_MAINTAINER}"
          --debian ${package_docs}/changelog.gz
          --metainfo ${PROJECT_SOURCE_DIR}/data/tresmon.metainfo.xml.in ${metainfo}
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/scripts/release-notes.py
          ${PROJECT_SOURCE_DIR}/data/tresmon.metainfo.xml.in
  VERBATIM)
set(package_doc_files ${package_docs}/changelog.gz ${metainfo})

if(TARGET tresmon)
  install(FILES data/tresmon.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT tresmon)
  install(FILES data/tresmon.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tresmon)
  install(FILES data/tresmon-tsd.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages COMPONENT tresmon)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT tresmon)
endif()

# Manual pages go with their program, with the project's version in their
# title line (the source pages say @PROJECT_VERSION@ there) and compressed as
# Debian keeps them.
foreach(entry ${TRES_PROGRAMS})
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 program)
  list(GET entry 1 component)
  if(TARGET ${program} AND EXISTS ${PROJECT_SOURCE_DIR}/doc/man/${program}.1)
    set(page ${PROJECT_BINARY_DIR}/doc/man/${program}.1)
    configure_file(doc/man/${program}.1 ${page} @ONLY)
    add_custom_command(OUTPUT ${page}.gz COMMAND gzip -9nfk ${page} DEPENDS ${page} VERBATIM)
    list(APPEND package_doc_files ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
  endif()
endforeach()
add_custom_target(package-docs ALL DEPENDS ${package_doc_files})

# Each package names its licences and carries the changelog where Debian
# looks for them; the program package also the file format description.
foreach(entry ${TRES_PACKAGES})
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 component)
  list(GET entry 1 package)
  install(FILES cmake/deb/copyright ${package_docs}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endforeach()
install(FILES doc/tsd-format.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tresmon COMPONENT tresmon)

include(cmake/Packaging.cmake)
