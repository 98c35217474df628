# What `cmake --install` puts where, by component (one Debian package each):
#   runtime          libkalpo.so.4 (libkalpo4)
#   development      kalpo.h, the .so link, kalpo.pc, the CMake package
#                    (kalpo::kalpo), the API reference (libkalpo-dev)
#   tool             the kalpo tool, its manual page, the replay libraries, the
#                    systemd user unit, the examples, README and changelog (kalpo)
#   virtual_printer  the eight virtual maker libraries, in a folder of their own
#                    (kalpo-virtual-printer)
# On Windows the tree is that of the zip: bin/, include/, lib/, virtual-printer/,
# bindings/, examples/ and the documents at the top.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KALPO_DOCUMENTS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE)
include(${CMAKE_CURRENT_LIST_DIR}/api_reference.cmake)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/install_windows.cmake)
  return()
endif()

# The library's version and soname (libkalpo.so.4).
set_target_properties(kalpo PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

# No run path: libkalpo loads the makers' libraries itself, from the places
# src/seam/maker_files.h lists (the virtual printer's folder,
# kalpo/virtual-printer below libkalpo's, last), never at its own load.
set(KALPO_VIRTUAL_PRINTER_DIR ${CMAKE_INSTALL_LIBDIR}/kalpo/virtual-printer)
file(RELATIVE_PATH kalpo_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
# kalpo loads libkalpo itself (no run path): from the loader's path, the
# installed library folder, the build tree's lib/ beside bin/, then the
# system's folders.
set(kalpo_tool_library_dirs "${kalpo_bin_to_lib}" "../lib")
list(REMOVE_DUPLICATES kalpo_tool_library_dirs)
string(REPLACE ";" ":" kalpo_tool_library_dirs "${kalpo_tool_library_dirs}")
target_compile_definitions(kalpo_tool_core PRIVATE KALPO_TOOL_LIBRARY_DIRS="${kalpo_tool_library_dirs}")

# Inside the build the header comes from the source tree; installed, from the
# include folder.
set_property(TARGET kalpo PROPERTY INTERFACE_INCLUDE_DIRECTORIES $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>
                                   $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS kalpo EXPORT kalpoTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/include/kalpo.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(TARGETS kalpo_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(TARGETS ${KALPO_MAKER_LIBRARIES} LIBRARY DESTINATION ${KALPO_VIRTUAL_PRINTER_DIR} COMPONENT virtual_printer)
# kalpo replay's maker libraries, where the tool looks for them: kalpo/replay
# beside libkalpo.
install(TARGETS ${KALPO_REPLAY_LIBRARIES} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kalpo/replay COMPONENT tool)

# pkg-config: the prefix is found from the .pc file's own folder, so that the
# same file serves the package, the tarball and any other prefix.
file(RELATIVE_PATH kalpo_pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" kalpo_pc_to_prefix "${kalpo_pc_to_prefix}")
file(RELATIVE_PATH kalpo_prefix_to_lib ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_LIBDIR})
file(RELATIVE_PATH kalpo_prefix_to_include ${CMAKE_INSTALL_PREFIX} ${CMAKE_INSTALL_FULL_INCLUDEDIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/kalpo.pc.in ${CMAKE_BINARY_DIR}/kalpo.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/kalpo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# find_package(kalpo): the imported target kalpo::kalpo.
set(kalpo_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/kalpo)
install(EXPORT kalpoTargets NAMESPACE kalpo:: DESTINATION ${kalpo_cmake_dir} COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kalpoConfig.cmake.in ${CMAKE_BINARY_DIR}/kalpoConfig.cmake
  INSTALL_DESTINATION ${kalpo_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/kalpoConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/kalpoConfig.cmake ${CMAKE_BINARY_DIR}/kalpoConfigVersion.cmake
  DESTINATION ${kalpo_cmake_dir} COMPONENT development)

# The tool's manual page, made from its own help (help2man) and compressed
# as Debian keeps them: in the release builds (make dist), which run the tool.
if(KALPO_MANUALS)
  set(kalpo_manual ${CMAKE_BINARY_DIR}/kalpo.1.gz)
  add_custom_command(OUTPUT ${kalpo_manual}
    COMMAND ${PROJECT_SOURCE_DIR}/packaging/manual.sh $<TARGET_FILE:kalpo_tool> ${kalpo_manual}
    DEPENDS kalpo_tool kalpo ${KALPO_MAKER_LIBRARIES} ${PROJECT_SOURCE_DIR}/packaging/manual.sh VERBATIM)
  add_custom_target(kalpo_manual ALL DEPENDS ${kalpo_manual})
  install(FILES ${kalpo_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
endif()

# kalpo serve with the user's session (systemctl --user enable --now kalpo-serve).
configure_file(${PROJECT_SOURCE_DIR}/packaging/kalpo-serve.service.in ${CMAKE_BINARY_DIR}/kalpo-serve.service @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/kalpo-serve.service DESTINATION lib/systemd/user
  COMPONENT tool)

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${KALPO_DOCUMENTS} DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT tool)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kalpo/examples COMPONENT tool)
install(FILES ${PROJECT_SOURCE_DIR}/sim/README.md ${KALPO_DOCUMENTS}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kalpo-virtual-printer COMPONENT virtual_printer)
