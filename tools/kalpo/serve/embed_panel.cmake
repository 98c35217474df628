# Writes OUTPUT, a C++ source holding the panel's files (PANEL/index.html,
# panel.js, panel.css) as byte strings (tools/kalpo/serve/panel_files.h).
# Run at build time:  cmake -DPANEL=<folder> -DOUTPUT=<file> -P embed_panel.cmake
set(files index.html / text/html panel.js /panel.js text/javascript panel.css /panel.css text/css)
set(arrays "")
set(rows "")
set(index 0)
while(index LESS 9)
  list(GET files ${index} name)
  math(EXPR at "${index} + 1")
  list(GET files ${at} path)
  math(EXPR at "${index} + 2")
  list(GET files ${at} type)
  file(READ ${PANEL}/${name} bytes HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${bytes}")
  string(MAKE_C_IDENTIFIER "${name}" id)
  string(APPEND arrays "const char ${id}[] = \"${bytes}\";\n")
  string(APPEND rows "    {\"${path}\", \"${type}; charset=utf-8\", {${id}, sizeof ${id} - 1}},\n")
  math(EXPR index "${index} + 3")
endwhile()
file(WRITE ${OUTPUT}
     "// Generated from tools/kalpo/serve/panel/ by tools/kalpo/serve/embed_panel.cmake.\n"
     "#include \"serve/panel_files.h\"\n\n"
     "namespace kt::serve {\n"
     "namespace {\n\n"
     "${arrays}\n"
     "}  // namespace\n\n"
     "const PanelFile kPanelFiles[3] = {\n"
     "${rows}"
     "};\n\n"
     "}  // namespace kt::serve\n")
