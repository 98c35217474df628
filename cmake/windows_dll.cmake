# DLLs of __stdcall functions as Windows programs bind them: the export table
# holds the undecorated names ("Name", not "Name@8"), and the import library
# keeps the decorated symbols that callers compiled with the declarations
# refer to.  The linker writes the undecorated exports (--kill-at) and a .def
# of them; dlltool then rebuilds the import library from that .def.

# kalpo_stdcall_dll(target file_name): names the target's DLL file_name
# (a maker library's, from the makers' table) and gives it undecorated exports.
function(kalpo_stdcall_dll target file_name)
  if(NOT file_name MATCHES "^(.+)(\\.[^.]+)$")
    message(FATAL_ERROR "kalpo_stdcall_dll: ${file_name} has no extension")
  endif()
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME "${CMAKE_MATCH_1}" SUFFIX "${CMAKE_MATCH_2}")
  set(exports_def ${CMAKE_CURRENT_BINARY_DIR}/${target}_exports.def)
  target_link_options(${target} PRIVATE -Wl,--kill-at -Wl,--output-def,${exports_def})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXPORTS_DEF=${exports_def} -DDLL=${file_name}
            -DIMPLIB=$<TARGET_LINKER_FILE:${target}> -DDLLTOOL=${CMAKE_DLLTOOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/stdcall_implib.cmake
    VERBATIM)
endfunction()
