#include "makers/analysis.h"
#include "makers/sessions.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

bool bematech(Model model) { return makers::analisa_iretorno(model, seam::api().Bematech_FI_AberturaDoDia("0", "-")); }

bool epson() {
  return makers::epson_session("EPSON_RelatorioFiscal_Abrir_Dia",
                               [] { return seam::api().EPSON_RelatorioFiscal_Abrir_Dia(); });
}

}  // namespace

bool abre_dia(Model model) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    case Model::Epson: return epson();
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Sweda7000:
    case Model::SigtronFS345:
    case Model::Daruma32:
    case Model::Digiarte1E:
    case Model::ElginFit:
    case Model::DataregisQuick:
    case Model::DataregisSerial: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::reports
