# `cpack` in a build tree makes an archive of what `cmake --install` puts
# there: the Windows zip's tree, or the Linux tarball's.  The release files
# themselves are made by packaging/make_dist.sh (make dist): the Debian
# packages by packaging/debian/build.sh, the archives by packaging/pack.py
# with fixed times, so that two builds give the same bytes.
set(CPACK_PACKAGE_NAME kalpo)
set(CPACK_PACKAGE_VENDOR "Zantrello")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_COMPONENTS_ALL kalpo virtual_printer)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME kalpo-${PROJECT_VERSION}-windows-x86)
else()
  set(CPACK_COMPONENTS_ALL runtime development tool virtual_printer)
  set(CPACK_GENERATOR TGZ)
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" kalpo_platform)
  set(CPACK_PACKAGE_FILE_NAME kalpo-${PROJECT_VERSION}-${kalpo_platform})
endif()

include(CPack)
