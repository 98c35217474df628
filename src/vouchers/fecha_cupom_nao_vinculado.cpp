// Closes the open linked voucher.
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech(Model model) {
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_FechaComprovanteNaoFiscalVinculado());
}

bool sweda(Model model) {
  return makers::analisa_iretorno(model, seam::api().ECF_FechaComprovanteNaoFiscalVinculado());
}

bool sigtron() {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge(seam::api().DAR_FechaX(49)).no_error;
}

bool close_document(int32_t handle) {
  return makers::dllg2::judge_showing_code_number(handle, makers::dllg2::execute(handle, "EncerraDocumento"));
}

// ELGINFIT cuts the paper only after the voucher has been closed.
bool usb(Model model) {
  if (!makers::usb_open()) return false;
  if (!close_document(0)) return false;
  makers::elgin_paper_cut(model);
  return true;
}

bool serial() { return close_document(makers::serial_open(makers::SerialSetup::Full)); }

bool daruma() { return makers::daruma_judge(seam::api().Daruma_TEF_FechaRelatorio()); }

}  // namespace

bool fecha_cupom_nao_vinculado(Model model) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    case Model::Sweda7000: return sweda(model);
    case Model::SigtronFS345: return sigtron();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model);
    case Model::DataregisSerial: return serial();
    case Model::Daruma32: return daruma();
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Digiarte1E:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::vouchers
