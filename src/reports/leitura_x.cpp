#include "frame/config.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

bool bematech(Model model) {
  makers::bematech_paper_handling();
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_LeituraX());
}

bool sweda(Model model) { return makers::analisa_iretorno(model, seam::api().ECF_LeituraX()); }

// QUIRK: the operator sees the port setting before every X reading of this model.
bool sigtron(VarInt &contagem) {
  std::string port = config::read("PORTACOM", "COM1:9600,n,8,1");
  msg::notice(port);
  makers::sigtron_open_port(port);
  int32_t ret = seam::api().DAR_LeituraX(49);
  return makers::sigtron_judge(ret, contagem.target()).no_error;
}

bool daruma() { return makers::daruma_judge(seam::api().Daruma_FI_LeituraX()); }

bool digiarte() {
  return makers::digiarte_session([] {
    seam::api().LeituraX(0);
    return makers::digiarte_judge_answer();
  });
}

// The reading has no message of its own: a refusal is told as the driver
// reports it, and the paper cut follows either way.
bool usb(Model model) {
  if (!makers::usb_open()) return false;
  bool ok = makers::dllg2::judge_showing_code_number(0, makers::dllg2::execute(0, "EmiteLeituraX"));
  makers::elgin_paper_cut(model);
  return ok;
}

bool serial() { return makers::serial_command_and_end("EmiteLeituraX"); }

bool epson() {
  return makers::epson_session("EPSON_RelatorioFiscal_LeituraX",
                               [] { return seam::api().EPSON_RelatorioFiscal_LeituraX(); });
}

}  // namespace

bool leitura_x(Model model, VarInt contagem) {
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
