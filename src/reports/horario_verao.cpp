#include "frame/operations.h"
#include "frame/messages.h"
#include "frame/text.h"

namespace kalpo::ops {

bool horario_verao(Model, const std::string &) {
  msg::info("Modelo de Impressora Fiscal não prepara ainda para o programa!\r\nPor favor, utilize o utilitário do fabricante!"_cp);
  return false;
}

}  // namespace kalpo::ops
