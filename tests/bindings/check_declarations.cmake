# Checks that each declaration file declares every export of the header, and
# that the Python unit, which names the maker libraries it reports missing,
# names each row of the makers' table (its name and its file on Windows).
#   -DHEADER=kalpo.h -DPASCAL=kalpo.pas -DCSHARP=Kalpo.cs -DPYTHON=kalpo/__init__.py
#   -DMAKERS=maker_libraries.h
file(READ ${HEADER} header)
string(REGEX MATCHALL "KALPO_CALL (KALPO_[A-Za-z_0-9]+)\\(" exports "${header}")
list(TRANSFORM exports REPLACE "KALPO_CALL (KALPO_[A-Za-z_0-9]+)\\(" "\\1")
list(LENGTH exports count)
if(count LESS 43)
  message(FATAL_ERROR "only ${count} exports found in ${HEADER}")
endif()

# How each language writes a declaration of NAME.
set(PASCAL_FORM "(function|procedure)[ \t]+NAME[ \t]*[(:;]")
set(CSHARP_FORM "static extern [A-Za-z]+ NAME\\(")
set(PYTHON_FORM "\"NAME\": \\(")

set(missing "")
foreach(language PASCAL CSHARP PYTHON)
  file(READ ${${language}} unit)
  foreach(name IN LISTS exports)
    string(REPLACE NAME ${name} form "${${language}_FORM}")
    if(NOT unit MATCHES "${form}")
      string(APPEND missing "\n  ${${language}}: ${name}")
    endif()
  endforeach()
endforeach()
file(STRINGS ${MAKERS} rows REGEX "^KALPO_MAKER_LIBRARY\\(")
file(READ ${PYTHON} unit)
foreach(row IN LISTS rows)
  string(REGEX MATCH "^KALPO_MAKER_LIBRARY\\(([a-z0-9_]+), (\"[^\"]+\")" row "${row}")
  foreach(name "\"${CMAKE_MATCH_1}\"" "${CMAKE_MATCH_2}")
    string(FIND "${unit}" "${name}" at)
    if(at LESS 0)
      string(APPEND missing "\n  ${PYTHON}: the maker library ${name}")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "exports or maker libraries without a declaration:${missing}")
endif()
message(STATUS "${count} exports declared in each unit")
