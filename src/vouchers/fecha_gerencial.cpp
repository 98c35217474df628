// Closes the open management report.
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech(Model model) {
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_FechaRelatorioGerencial());
}

// The same call closes a linked voucher.
bool sigtron() {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge(seam::api().DAR_FechaX(49)).no_error;
}

bool daruma() { return makers::daruma_judge(seam::api().Daruma_TEF_FechaRelatorio()); }

}  // namespace

bool fecha_gerencial(Model model) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    case Model::SigtronFS345: return sigtron();
    // Nothing to send for the command-driver models.
    case Model::ElginFit:
    case Model::DataregisQuick:
    case Model::DataregisSerial: return true;
    case Model::Daruma32: return daruma();
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
