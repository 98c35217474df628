#include <array>

#include "base/cp1252.h"
#include "frame/config.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

bool bematech(Model model) {
  makers::bematech_paper_handling();
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_ReducaoZ(nullptr, nullptr));
}

bool sweda(Model model) { return makers::analisa_iretorno(model, seam::api().ECF_ReducaoZ(nullptr, nullptr)); }

// The workstation's clock as ddmmyyhhnnss.
std::string sigtron_date_time() {
  platform::DateTime now = platform::get().now();
  auto two = [](int n) { return (n % 100 < 10 ? "0" : "") + std::to_string(n % 100); };
  return two(now.day) + two(now.month) + two(now.year) + two(now.hour) + two(now.minute) + two(now.second);
}

// The clock is read before the port is opened: the reduction carries the
// time at which it was asked for.
bool sigtron(VarInt &contagem) {
  std::string port = config::read("PORTACOM", "COM1:9600,n,8,1");
  std::string date_time = sigtron_date_time();
  makers::sigtron_open_port(port);
  int32_t ret = seam::api().DAR_ReducaoZ(date_time.c_str(), 49);
  return makers::sigtron_judge(ret, contagem.target()).no_error;
}

bool daruma() { return makers::daruma_judge(seam::api().Daruma_FI_ReducaoZ(nullptr, nullptr)); }

bool digiarte() {
  return makers::digiarte_session([] {
    seam::api().ReducaoZ(48);
    return makers::digiarte_judge_answer();
  });
}

// QUIRK: a command that did not run shows the error code's text even for code 0.
// The paper cut follows whatever the outcome.
bool usb(Model model) {
  if (!makers::usb_open()) return false;
  bool ok = makers::dllg2::judge_showing_code_text(0, makers::dllg2::execute(0, "EmiteReducaoZ"));
  makers::elgin_paper_cut(model);
  return ok;
}

bool serial() { return makers::serial_command_and_end("EmiteReducaoZ"); }

bool epson() {
  return makers::epson_session("EPSON_RelatorioFiscal_RZ", [] {
    std::array<char, 21> answer{};
    answer.fill(' ');
    answer[20] = '\0';
    return seam::api().EPSON_RelatorioFiscal_RZ("", "", 2, answer.data());
  });
}

}  // namespace

bool reducao_z(Model model, VarInt contagem) {
  if (!msg::confirm(own::kReductionConfirm.text)) {
    msg::info(own::kReductionAborted.text);
    return false;
  }
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    case Model::Sweda7000: return sweda(model);
    case Model::SigtronFS345: return sigtron(contagem);
    case Model::Daruma32: return daruma();
    case Model::Digiarte1E: return digiarte();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model);
    case Model::DataregisSerial: return serial();
    case Model::Epson: return epson();
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::reports
