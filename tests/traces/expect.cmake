# Runs `kalpo replay TRACE` and checks its exit status and that what it says
# matches PATTERN.  The trace million_lines is made here: a header, a million
# records of a call the replay does not make, and a torn line after them.
#   cmake -DTOOL=kalpo [-DEMULATOR=wine] -DTRACE=file -DSTATUS=n -DPATTERN=regex -P expect.cmake
if(TRACE MATCHES "million_lines\\.jsonl$")
  string(REGEX REPLACE "^Z:" "" native "${TRACE}")
  string(REPEAT "{\"export\":\"KALPO_DefineTratadorMensagens\",\"args\":[],\"steps\":[],\"result\":null,\"out\":{}}\n"
         1000000 records)
  file(WRITE "${native}" "{\"kalpo_trace\":2,\"kalpo\":\"4.0.0\",\"platform\":\"posix\",\"process\":1,\"time\":\"\"}\n${records}{\"export\":\"KALPO_Versao\",\"ar\n")
endif()
execute_process(COMMAND ${EMULATOR} ${TOOL} replay ${TRACE} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(TRACE MATCHES "million_lines\\.jsonl$")
  file(REMOVE "${native}")
endif()
message("${out}")
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}")
endif()
if(NOT out MATCHES "${PATTERN}")
  message(FATAL_ERROR "the output does not match: ${PATTERN}")
endif()
