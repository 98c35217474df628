#include "makers/dllg2_commands.h"
#include "frame/operations.h"
#include "makers/sessions.h"

namespace kalpo::ops {
namespace {

// Both models go through the serial connection here, ELGINFIT included.
bool serial() {
  return conn::serial_command_and_end("EscreveInteiro", {{"NomeInteiro", "EspacamentoDocumentos", dllg2::kText},
                                                         {"ValorInteiro", "350", dllg2::kIntegerValue}});
}

}  // namespace

bool impressao_bobina(Model model) {
  if (model == Model::DataregisSerial || model == Model::ElginFit) return serial();
  return true;
}

}  // namespace kalpo::ops
