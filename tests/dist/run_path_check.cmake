# Each binary's run path holds only non-empty entries relative to the binary
# ($ORIGIN...): no build folder, and no empty entry (the current folder).
#   cmake -DBINARIES="<file>;<file>..." -P run_path_check.cmake
foreach(binary IN LISTS BINARIES)
  execute_process(COMMAND readelf -d ${binary} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "readelf -d ${binary} failed")
  endif()
  if(dynamic MATCHES "\\((RUNPATH|RPATH)\\)[^[]*\\[([^]]*)\\]")
    set(path "${CMAKE_MATCH_2}")
    if(NOT path MATCHES "^\\$ORIGIN(/[^:]+)?(:\\$ORIGIN(/[^:]+)?)*$")
      message(FATAL_ERROR "${binary}: run path '${path}' names a place not relative to it, or the current folder")
    endif()
    message(STATUS "${binary}: run path ${path}")
  endif()
endforeach()
