# Rebuilds the import library of a DLL whose __stdcall exports are
# undecorated: every "Name = Name@N @ordinal" line of the linker's .def
# becomes "Name@N", and dlltool -k makes symbols _Name@N that import "Name".
# Exports by ordinal only (NONAME) are left out: no caller binds them by name.
#   cmake -DEXPORTS_DEF=... -DDLL=kalpo.dll -DIMPLIB=libkalpo.dll.a -DDLLTOOL=... -P stdcall_implib.cmake
file(STRINGS "${EXPORTS_DEF}" lines)
set(def "LIBRARY \"${DLL}\"\nEXPORTS\n")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "NONAME")
    continue()
  elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+) = ([A-Za-z0-9_]+@[0-9]+)")
    string(APPEND def "  ${CMAKE_MATCH_2}\n")
  elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+@[0-9]+)")
    string(APPEND def "  ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+)([ \t]|$)" AND NOT line MATCHES "^[ \t]*(EXPORTS|LIBRARY)")
    string(APPEND def "  ${CMAKE_MATCH_1}\n")
  else()
    continue()
  endif()
  math(EXPR count "${count} + 1")
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${EXPORTS_DEF} lists no exports")
endif()
set(import_def "${IMPLIB}.def")
file(WRITE "${import_def}" "${def}")
# Run beside the library with file names alone: dlltool names the library's
# members and symbols after the path it is given, and the build folder's path
# would make the library differ from one clone to another.
get_filename_component(folder "${IMPLIB}" DIRECTORY)
get_filename_component(implib_name "${IMPLIB}" NAME)
execute_process(COMMAND "${DLLTOOL}" -k -d "${implib_name}.def" -D "${DLL}" -l "${implib_name}"
                WORKING_DIRECTORY "${folder}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dlltool failed for ${DLL}")
endif()
