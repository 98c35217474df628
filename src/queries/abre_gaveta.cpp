// Opens the cash drawer attached to the printer.
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
namespace {

// Done only when the analysis finds no error and the printer answered.
bool sigtron() {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge(seam::api().DAR_AbreGaveta()).executed();
}

bool daruma() { return makers::daruma_judge(seam::api().Daruma_FI_AcionaGaveta()); }

bool open_drawer(int32_t handle) {
  return makers::dllg2::judge_showing_code_number(handle, makers::dllg2::execute(handle, "AbreGaveta"));
}

bool usb() {
  if (!makers::usb_open()) return false;
  return open_drawer(0);
}

bool serial() { return open_drawer(makers::serial_open(makers::SerialSetup::Full)); }

bool bematech(Model model) { return makers::analisa_iretorno(model, seam::api().Bematech_FI_AcionaGaveta()); }

}  // namespace

// Models without a drawer branch report success without a call.
// QUIRK: so does any identifier, an unknown one included.
bool abre_gaveta(Model model) {
  switch (model) {
    case Model::SigtronFS345: return sigtron();
    case Model::Daruma32: return daruma();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb();
    case Model::DataregisSerial: return serial();
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Sweda7000:
    case Model::Digiarte1E:
    case Model::Epson: return true;
  }
  return true;
}

}  // namespace kalpo::queries
