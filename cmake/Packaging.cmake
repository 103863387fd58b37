# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages from the build folder: (cd build && cpack -G DEB).
# One package per install component; the components are listed beside the
# install rules in cmake/Install.cmake. All five come from one source,
# "tresmon", and share its version, changelog and copyright file.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tresmon)
set(CPACK_PACKAGE_VENDOR Norvaken)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "${TRES_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SOURCE tresmon)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Installed programs and the library carry no debug sections.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL "")
foreach(entry ${TRES_PACKAGES})
  string(REPLACE ":" ";" entry "${entry}")
  list(GET entry 0 component)
  list(GET entry 1 package)
  string(TOUPPER ${component} upper)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
endforeach()
# Library dependencies as dpkg-shlibdeps finds them. Our own packages depend
# on each other at exactly the same version, from the component dependencies
# below: they are built together and never mixed. (Where the build machine
# has a libvlnkw32-1 installed, dpkg-shlibdeps finds that one through the
# programs' run path and adds its lower bound; deb/FinishPackages.cmake
# drops it again.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# Where dpkg-shlibdeps finds libvlnkw32.so.1 when no installed package has it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src/vlnk)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb/FinishPackages.cmake)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)

set(CPACK_DEBIAN_TRESMON_PACKAGE_SECTION science)
# Loaded at run time, so no linker sees them: the fonts the printouts and
# panes are laid out for, the German texts of Qt's dialogs, the platform
# plugins (also the offscreen one that tresmon-tool draws with), PROJ itself
# (opened when pipeline data first need it, by the SONAME of the PROJ the
# build found; src/pipeline/CMakeLists.txt names its package) with its
# database and grids, and libpq (opened when the archive first connects to
# a server; src/archive/CMakeLists.txt names its package).
set(CPACK_DEBIAN_TRESMON_PACKAGE_DEPENDS
    "fonts-liberation, qt6-translations-l10n, qt6-qpa-plugins, ${TRES_PROJ_PACKAGE}, proj-data, ${TRES_PQ_PACKAGE}")
set(CPACK_DEBIAN_TRESMON_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/deb/postinst ${CMAKE_CURRENT_LIST_DIR}/deb/postrm)
set(CPACK_DEBIAN_TRESMON_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
# ldconfig through the trigger, not from maintainer scripts; CPack's own
# ldconfig scripts are taken out again once the package is built.
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/deb/triggers)
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A shlibs file for the library package (the only one with a shared
# object), so that programs packaged elsewhere get their dependency on
# libvlnkw32-1 from dpkg-shlibdeps: any later libvlnkw32-1 will do for
# them.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "pkg-config")

set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION comm)

set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)

include(CPack)

cpack_add_component(tresmon DISPLAY_NAME Tresmon DEPENDS lib
  DESCRIPTION "Evaluation of close-interval pipe-to-soil potential surveys
Tresmon opens, edits, checks, plots and prints the survey files (.tsd) of
close-interval potential measurements on cathodically protected pipelines,
and fetches them from a Logato handheld over the serial link. tresmon-tool
does the same work from the command line. The user interface is German.")
cpack_add_component(lib DISPLAY_NAME "vlnkw32 library"
  DESCRIPTION "Serial link to Logato handheld terminals (shared library)
libvlnkw32 moves files and small queries between the PC and a Logato
handheld over a serial line, through a flat C interface: directory listings,
receiving and sending files, the handheld's date, time and free space.")
cpack_add_component(dev DISPLAY_NAME "vlnkw32 development files" DEPENDS lib
  DESCRIPTION "Serial link to Logato handheld terminals (development files)
The header, pkg-config file and CMake package (vlnkw32::vlnkw32) for
building programs against libvlnkw32, with a complete example program.")
cpack_add_component(tools DISPLAY_NAME "cmdvlnk" DEPENDS lib
  DESCRIPTION "Batch transfers with Logato handheld terminals
cmdvlnk runs a whole transfer job with the handheld from one command line
(/PORT=1 /RX=... /TX=... /DEL=...) through libvlnkw32, for scripts.")
cpack_add_component(sim DISPLAY_NAME "Handheld simulator"
  DESCRIPTION "Simulated Logato handheld on a pseudo-terminal
vlnk-handheld-sim plays the handheld's side of the serial link on a
pseudo-terminal, serving a folder as its drive, for trying Tresmon's
transfers and testing programs that use libvlnkw32 without a handheld.")
