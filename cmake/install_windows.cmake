# The Windows tree (the zip): kalpo.dll and kalpo.exe in bin/; the header; the
# export table and import libraries for MinGW (libkalpo.dll.a) and for the
# Microsoft linker (kalpo.lib); the virtual printer's DLLs apart from bin/, so
# that unzipping never puts them over a workstation's real maker DLLs; the
# declaration units; the examples; the documents.
# kalpo.exe carries the library's version too (kalpo.dll's resource is its own).
target_sources(kalpo_tool PRIVATE ${PROJECT_SOURCE_DIR}/resources/kalpo_exe.rc)

install(TARGETS kalpo kalpo_tool RUNTIME DESTINATION bin COMPONENT kalpo ARCHIVE DESTINATION lib COMPONENT kalpo)
install(FILES ${PROJECT_SOURCE_DIR}/include/kalpo.h DESTINATION include COMPONENT kalpo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/kalpo.def DESTINATION lib COMPONENT kalpo)

# kalpo.lib: the same import library in the short import format, which the
# Microsoft linker reads; symbols _Name@N import the undecorated Name.
find_program(KALPO_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
if(KALPO_LLVM_DLLTOOL)
  set(msvc_import_library ${CMAKE_BINARY_DIR}/lib/kalpo.lib)
  add_custom_command(OUTPUT ${msvc_import_library}
    COMMAND ${KALPO_LLVM_DLLTOOL} -m i386 -k -d $<TARGET_LINKER_FILE:kalpo>.def -D kalpo.dll -l ${msvc_import_library}
    DEPENDS kalpo VERBATIM)
  add_custom_target(kalpo_msvc_import_library ALL DEPENDS ${msvc_import_library})
  install(FILES ${msvc_import_library} DESTINATION lib COMPONENT kalpo)
else()
  message(WARNING "llvm-dlltool not found: kalpo.lib (the Microsoft linker's import library) is not made")
endif()

# kalpo replay's maker libraries, where kalpo.exe looks for them: replay\ beside kalpo.dll.
install(TARGETS ${KALPO_REPLAY_LIBRARIES} RUNTIME DESTINATION bin/replay COMPONENT kalpo)

# Their import libraries are no part of the zip.
install(TARGETS ${KALPO_MAKER_LIBRARIES} RUNTIME DESTINATION virtual-printer COMPONENT virtual_printer
  ARCHIVE DESTINATION lib/virtual-printer COMPONENT virtual_printer_import_libraries EXCLUDE_FROM_ALL)
# The texts with CR LF line ends, as Windows editors expect.
foreach(text README virtual-printer)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/${text}.txt ${CMAKE_BINARY_DIR}/windows-texts/${text}.txt
    @ONLY NEWLINE_STYLE CRLF)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/windows-texts/virtual-printer.txt DESTINATION virtual-printer
  RENAME README.txt COMPONENT virtual_printer)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/bindings/ DESTINATION bindings COMPONENT kalpo
  PATTERN __pycache__ EXCLUDE PATTERN .mypy_cache EXCLUDE PATTERN "*.egg-info" EXCLUDE PATTERN build EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples COMPONENT kalpo)
install(FILES ${CMAKE_BINARY_DIR}/windows-texts/README.txt ${KALPO_DOCUMENTS} DESTINATION . COMPONENT kalpo)
