# Writes OUTPUT, a C++ source holding every EXAMPLES/*.kalpo as a text
# (kt::examples(), tools/kalpo/examples.h).  Run at build time:
#   cmake -DEXAMPLES=<folder> -DOUTPUT=<file> -P embed_examples.cmake
file(GLOB names RELATIVE ${EXAMPLES} ${EXAMPLES}/*.kalpo)
list(SORT names)
set(rows "")
foreach(name IN LISTS names)
  file(READ ${EXAMPLES}/${name} text)
  string(APPEND rows "      {\"${name}\", R\"kalpo_example(${text})kalpo_example\"},\n")
endforeach()
file(WRITE ${OUTPUT}
     "// Generated from examples/*.kalpo by tools/kalpo/embed_examples.cmake.\n"
     "#include \"examples.h\"\n\n"
     "namespace kt {\n\n"
     "const std::vector<Example> &examples() {\n"
     "  static const std::vector<Example> table = {\n"
     "${rows}"
     "  };\n"
     "  return table;\n"
     "}\n\n"
     "}  // namespace kt\n")
