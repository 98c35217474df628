// The serial link: opening the port, the last error, the last answer.
#include "fs345_32/answer.h"

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_AbreSerial(const char *porta) {
  return fs345::open_port(common::text(porta)) ? 0 : -1;
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_Erro() { return fs345::last_error(); }

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_Resposta(char *resposta, std::int32_t tamanho) {
  return fs345::copy_answer(resposta, tamanho);
}
