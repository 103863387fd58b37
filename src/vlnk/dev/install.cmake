# SPDX-License-Identifier: LGPL-2.1-or-later
# The library for other programs: the versioned shared object in the runtime
# component "lib"; header, development link, pkg-config file, CMake package
# and the example in "dev".
install(TARGETS vlnkw32 EXPORT vlnkw32Targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT lib NAMELINK_COMPONENT dev)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/vlnkw32.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)

# The pkg-config file names the prefix it is installed under - the one the
# install runs with (cmake --install --prefix, or /usr in the packages), not
# the configured one - so pkg-config prints plain paths (-I/usr/include). A
# tree unpacked elsewhere is found through PKG_CONFIG_SYSROOT_DIR.
set(VLNK_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
install(CODE "
  set(VLNK_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(VLNK_LIBRARY_VERSION ${VLNK_LIBRARY_VERSION})
  set(CMAKE_INSTALL_LIBDIR ${CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/vlnkw32.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vlnkw32.pc @ONLY)
" COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vlnkw32.pc DESTINATION ${VLNK_PKGCONFIG_DIR} COMPONENT dev)

set(VLNK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vlnkw32)
install(EXPORT vlnkw32Targets NAMESPACE vlnkw32:: DESTINATION ${VLNK_CMAKE_DIR} COMPONENT dev)
include(CMakePackageConfigHelpers)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/vlnkw32Config.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/vlnkw32Config.cmake INSTALL_DESTINATION ${VLNK_CMAKE_DIR})
# A caller built against 1.x runs with any later 1.x: the SONAME promise.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/vlnkw32ConfigVersion.cmake
  VERSION ${VLNK_LIBRARY_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vlnkw32Config.cmake ${CMAKE_CURRENT_BINARY_DIR}/vlnkw32ConfigVersion.cmake
  DESTINATION ${VLNK_CMAKE_DIR} COMPONENT dev)

# The example program with the CMake project that builds it, where Debian
# keeps a package's examples.
set(VLNK_EXAMPLES_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/libvlnkw32-dev/examples CACHE INTERNAL "")
install(FILES ${PROJECT_SOURCE_DIR}/examples/receive.c ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt
  DESTINATION ${VLNK_EXAMPLES_DIR} COMPONENT dev)
