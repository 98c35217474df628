# The recorded paper end of each maker family, as its trace holds it: the
# coupon's opening refused (result 0) with the family's paper-end message.
# The replays check that KALPO still shows it; this checks that the traces
# recorded it.   cmake -DTRACES=folder -P paper_end.cmake
set(families
  "bemafi32|Fim do Papel!" "convecf|Fim do Papel!" "fs345_32|Sem papel" "daruma32|Sem papel"
  "ecf32m|Detectado falta de papel" "dllg2|Impressora está sem papel para imprimir." "interfaceepson|Falta de papel")
foreach(row ${families})
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 library)
  list(GET row 1 text)
  file(STRINGS ${TRACES}/faults_${library}.jsonl opening REGEX "\"export\":\"KALPO_AbreCupom\"" LIMIT_COUNT 1
       ENCODING UTF-8)
  string(FIND "${opening}" "${text}" at_text)
  string(FIND "${opening}" "\"result\":0," at_result)
  if(at_text LESS 0 OR at_result LESS 0)
    message(SEND_ERROR "faults_${library}.jsonl: the first coupon is not refused with \"${text}\"")
  endif()
endforeach()
