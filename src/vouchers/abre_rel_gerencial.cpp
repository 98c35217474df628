// Opens a management report; the Bematech models also print its text.
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech(Model model, const std::string &texto) {
  makers::bematech_paper_handling();
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_RelatorioGerencial(texto.c_str()));
}

bool sigtron() {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge(seam::api().DAR_AbreX(49)).no_error;
}

bool daruma() { return makers::daruma_judge(seam::api().Daruma_FI_AbreRelatorioGerencial()); }

bool open_report(int32_t handle, const std::string &codigo) {
  int32_t answer = makers::dllg2::execute(handle, "AbreGerencial", {{"CodGerencial", codigo, makers::dllg2::kCode}});
  return makers::dllg2::judge_showing_code_number(handle, answer);
}

// QUIRK: the cut comes before the report, even when the driver then fails to start.
bool usb(Model model, const std::string &codigo) {
  makers::elgin_paper_cut(model);
  if (!makers::usb_open()) return false;
  return open_report(0, codigo);
}

bool serial(const std::string &codigo) { return open_report(makers::serial_open(makers::SerialSetup::Full), codigo); }

}  // namespace

bool abre_rel_gerencial(Model model, const std::string &texto, const std::string &codigo) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, texto);
    case Model::SigtronFS345: return sigtron();
    case Model::Daruma32: return daruma();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model, codigo);
    case Model::DataregisSerial: return serial(codigo);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Sweda7000:
    case Model::Digiarte1E:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::vouchers
