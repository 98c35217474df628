# The API reference, from kalpo.h's own comments (Doxygen): the HTML reference
# and a section-3 manual page per export (man KALPO_VendaItem), compressed as
# Debian keeps them.  Made in the release builds (KALPO_MANUALS, make dist):
# in libkalpo-dev on Linux, in the zip's doc\ on Windows.
option(KALPO_MANUALS "Make and install the manual pages and the API reference (help2man, Doxygen)" OFF)
if(NOT KALPO_MANUALS)
  return()
endif()
find_program(KALPO_DOXYGEN doxygen REQUIRED)
set(KALPO_API_DOC_DIR ${CMAKE_BINARY_DIR}/api-reference)
configure_file(${PROJECT_SOURCE_DIR}/packaging/doxygen/Doxyfile.in ${CMAKE_BINARY_DIR}/Doxyfile @ONLY)
set(kalpo_api_stamp ${KALPO_API_DOC_DIR}/done)
add_custom_command(OUTPUT ${kalpo_api_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KALPO_API_DOC_DIR}
  COMMAND ${KALPO_DOXYGEN} ${CMAKE_BINARY_DIR}/Doxyfile
  # Relative to the build folder, whose path may hold spaces.
  COMMAND sh -c "gzip -9n api-reference/man/man3/*.3"
  COMMAND ${CMAKE_COMMAND} -E touch ${kalpo_api_stamp}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/include/kalpo.h ${PROJECT_SOURCE_DIR}/packaging/doxygen/Doxyfile.in
          ${PROJECT_SOURCE_DIR}/packaging/doxygen/doc_comments.sed
  VERBATIM)
add_custom_target(kalpo_api_reference ALL DEPENDS ${kalpo_api_stamp})
if(WIN32)
  install(DIRECTORY ${KALPO_API_DOC_DIR}/html/ DESTINATION doc COMPONENT kalpo)
else()
  install(DIRECTORY ${KALPO_API_DOC_DIR}/html/ DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libkalpo-dev/html
    COMPONENT development)
  install(DIRECTORY ${KALPO_API_DOC_DIR}/man/man3/ DESTINATION ${CMAKE_INSTALL_MANDIR}/man3 COMPONENT development)
endif()
