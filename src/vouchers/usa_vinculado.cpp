// Prints one text on the open linked voucher.
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech(Model model, const std::string &texto) {
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_UsaComprovanteNaoFiscalVinculado(texto.c_str()));
}

bool sweda(Model model, const std::string &texto) {
  return makers::analisa_iretorno(model, seam::api().ECF_UsaComprovanteNaoFiscalVinculado(texto.c_str()));
}

bool sigtron(const std::string &texto) {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge(seam::api().DAR_LinhaX(texto.c_str(), 49)).no_error;
}

bool daruma(const std::string &texto) {
  return makers::daruma_judge(seam::api().Daruma_FI_EnviarTextoCNF(texto.c_str()));
}

}  // namespace

bool usa_vinculado(Model model, const std::string &texto) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, texto);
    case Model::Sweda7000: return sweda(model, texto);
    case Model::SigtronFS345: return sigtron(texto);
    // The command-driver models print voucher text as one block through the
    // thermal variant; line by line there is nothing to send.
    case Model::ElginFit:
    case Model::DataregisQuick:
    case Model::DataregisSerial: return true;
    case Model::Daruma32: return daruma(texto);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Digiarte1E:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::vouchers
