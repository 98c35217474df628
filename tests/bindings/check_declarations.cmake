# Checks that each declaration file declares every export of the header.
#   -DHEADER=kalpo.h -DPASCAL=kalpo.pas -DCSHARP=Kalpo.cs -DPYTHON=kalpo/__init__.py
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
if(missing)
  message(FATAL_ERROR "exports without a declaration:${missing}")
endif()
message(STATUS "${count} exports declared in each unit")
