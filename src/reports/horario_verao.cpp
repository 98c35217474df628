#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "reports/reports.h"

namespace kalpo::reports {
namespace {

// Only the exact word "ENTRAR" enters daylight saving time.
bool serial(const std::string &acao) {
  int32_t handle = makers::serial_open(makers::SerialSetup::NoTimeout);
  int32_t answer = makers::dllg2::execute(handle, "AcertaHorarioVerao",
                                          {{"EntradaHV", acao == "ENTRAR" ? "TRUE" : "FALSE", makers::dllg2::kOption}});
  return makers::dllg2::judge_showing_code_number(handle, answer);
}

}  // namespace

bool horario_verao(Model model, const std::string &acao) {
  if (model == Model::DataregisSerial) return serial(acao);
  // QUIRK: every other identifier, the printerless ones included, gets the dialog and false.
  msg::info(own::kModelUnprepared.text);
  return false;
}

}  // namespace kalpo::reports
