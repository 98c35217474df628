# The version is written in include/kalpo.h; the places that cannot read it
# must agree with it: the changelog's newest section, the Python module and
# the README's file names (the manual page is made from the tool's help).
#   cmake -DSOURCE=<source tree> -P version_check.cmake
file(STRINGS ${SOURCE}/include/kalpo.h lines REGEX "^#define KALPO_VERSION_(MAJOR|MINOR|PATCH) ")
string(REGEX REPLACE "[^;]*MAJOR ([0-9]+);[^;]*MINOR ([0-9]+);[^;]*PATCH ([0-9]+)" "\\1.\\2.\\3" version "${lines}")

# Each place: file, pattern whose first group is the version (first match).
set(places
  "CHANGELOG.md|\n## ([0-9]+\\.[0-9]+\\.[0-9]+)"
  "bindings/python/kalpo/__init__.py|\n__version__ = \"([^\"]*)\""
  "README.md|kalpo_([0-9.]+)-[0-9]+_amd64\\.deb")
set(wrong "")
foreach(place IN LISTS places)
  string(REPLACE "|" ";" fields "${place}")
  list(GET fields 0 file)
  list(GET fields 1 pattern)
  file(READ ${SOURCE}/${file} text)
  if(NOT text MATCHES "${pattern}")
    string(APPEND wrong "\n  ${file}: no version found")
  elseif(NOT CMAKE_MATCH_1 STREQUAL version)
    string(APPEND wrong "\n  ${file}: ${CMAKE_MATCH_1}")
  endif()
endforeach()
if(wrong)
  message(FATAL_ERROR "the version of include/kalpo.h is ${version}; these say otherwise:${wrong}")
endif()
message(STATUS "version ${version}: the changelog, the Python module and the README agree")
