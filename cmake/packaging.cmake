# The packages, made with CPack from the install rules (cmake/install.cmake):
#   Linux:   kalpo_<version>_<arch>.deb, kalpo-virtual-printer_<version>_<arch>.deb
#            and kalpo-<version>-linux-<processor>.tar.gz (both components, the
#            packages' tree relative to /usr)
#   Windows: kalpo-<version>-windows-x86.zip
# `make dist` configures a release build with CMAKE_INSTALL_PREFIX=/usr and
# runs cpack in it.
set(CPACK_PACKAGE_NAME kalpo)
set(CPACK_PACKAGE_VENDOR "Zantrello")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description: its first line is the synopsis (no common
# summary, which CPack would put before both).
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_COMPONENTS_ALL kalpo virtual_printer)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME kalpo-${PROJECT_VERSION}-windows-x86)
else()
  set(CPACK_GENERATOR DEB TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" kalpo_platform)
  set(CPACK_PACKAGE_FILE_NAME kalpo-${PROJECT_VERSION}-${kalpo_platform})

  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Zantrello")
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  # Depends from the libraries the binaries need (dpkg-shlibdeps); the
  # maker libraries are looked up among the virtual printer's.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

  set(CPACK_DEBIAN_KALPO_PACKAGE_NAME kalpo)
  set(CPACK_DEBIAN_KALPO_DESCRIPTION
      "One interface to every supported fiscal printer
libkalpo.so, its header, pkg-config and CMake package files, and the kalpo
command-line tool.  The maker libraries are found beside libkalpo.so, then in
the virtual printer's folder, then on the loader's path.")
  # A machine with the makers' own libraries leaves the virtual printer out.
  set(CPACK_DEBIAN_KALPO_PACKAGE_SUGGESTS kalpo-virtual-printer)

  set(CPACK_DEBIAN_VIRTUAL_PRINTER_PACKAGE_NAME kalpo-virtual-printer)
  set(CPACK_DEBIAN_VIRTUAL_PRINTER_DESCRIPTION
      "The virtual fiscal printer for KALPO
The eight maker libraries, answering as a fiscal printer that keeps its
journal and paper in files, in a folder of their own where libkalpo.so looks
for them.  Leave it out on a machine with a real printer.")
  set(CPACK_DEBIAN_VIRTUAL_PRINTER_PACKAGE_ENHANCES kalpo)
endif()

include(CPack)
