# The API reference, from kalpo.h's own comments: the HTML reference
# (Doxygen) and a section-3 manual page of its own per export, and for the
# exports only (packaging/man3.py: man KALPO_VendaItem), compressed as Debian
# keeps them.  Made in the release builds (KALPO_MANUALS, make dist):
# in libkalpo-dev on Linux, in the zip's doc\ on Windows.
option(KALPO_MANUALS "Make and install the manual pages and the API reference (help2man, Doxygen)" OFF)
if(NOT KALPO_MANUALS)
  return()
endif()
find_program(KALPO_DOXYGEN doxygen REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KALPO_API_DOC_DIR ${CMAKE_BINARY_DIR}/api-reference)
configure_file(${PROJECT_SOURCE_DIR}/packaging/doxygen/Doxyfile.in ${CMAKE_BINARY_DIR}/Doxyfile @ONLY)
set(kalpo_api_stamp ${KALPO_API_DOC_DIR}/done)
add_custom_command(OUTPUT ${kalpo_api_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KALPO_API_DOC_DIR}
  COMMAND ${KALPO_DOXYGEN} ${CMAKE_BINARY_DIR}/Doxyfile
  # Relative to the build folder, whose path may hold spaces.
  COMMAND ${CMAKE_COMMAND} -E make_directory api-reference/man/man3
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/man3.py ${PROJECT_SOURCE_DIR}/include/kalpo.h
          api-reference/man/man3 ${PROJECT_VERSION}
  COMMAND ${CMAKE_COMMAND} -E touch ${kalpo_api_stamp}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/include/kalpo.h ${PROJECT_SOURCE_DIR}/packaging/doxygen/Doxyfile.in
          ${PROJECT_SOURCE_DIR}/packaging/doxygen/doc_comments.sed ${PROJECT_SOURCE_DIR}/packaging/man3.py
  VERBATIM)
add_custom_target(kalpo_api_reference ALL DEPENDS ${kalpo_api_stamp})
if(WIN32)
  install(DIRECTORY ${KALPO_API_DOC_DIR}/html/ DESTINATION doc COMPONENT kalpo)
else()
  install(DIRECTORY ${KALPO_API_DOC_DIR}/html/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libkalpo-dev/html
    COMPONENT development)
  install(DIRECTORY ${KALPO_API_DOC_DIR}/man/man3/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man3 COMPONENT development)
endif()
