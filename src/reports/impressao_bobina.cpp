#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "reports/reports.h"

namespace kalpo::reports {
namespace {

// QUIRK: both models go through the serial connection here, the USB model ELGINFIT included.
bool serial() {
  return makers::serial_command_and_end("EscreveInteiro",
                                        {{"NomeInteiro", "EspacamentoDocumentos", makers::dllg2::kText},
                                         {"ValorInteiro", "350", makers::dllg2::kIntegerValue}});
}

}  // namespace

bool impressao_bobina(Model model) {
  if (model == Model::DataregisSerial || model == Model::ElginFit) return serial();
  return true;
}

}  // namespace kalpo::reports
