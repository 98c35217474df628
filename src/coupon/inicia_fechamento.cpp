// Starts the closing of the coupon with a discount on the subtotal, given as
// an amount of money.  The command-driver models and EPSON have no start of
// closing of their own; the command-driver models get their discount through
// desc_fechamento, EPSON gets none.
#include <string>

#include "coupon/coupon.h"
#include "frame/amounts.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

bool bematech(Model model, double desconto) {
  std::string valor = amounts::hundredths_plain(desconto);
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

bool sweda(double desconto) {
  std::string valor = amounts::hundredths_plain(desconto);
  return makers::analisa_iretorno(Model::Sweda7000, seam::api().ECF_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

// The analysis alone decides: the answer count is not examined.
bool sigtron(double desconto) {
  makers::sigtron_open_configured_port();
  std::string valor = amounts::hundredths_general(desconto);
  return makers::sigtron_judge(seam::api().DAR_Totaliza(49, valor.c_str(), 49)).no_error;
}

bool daruma(double desconto) {
  std::string valor = amounts::regional(desconto, 2);
  return makers::daruma_judge(seam::api().Daruma_FI_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

bool digiarte(double desconto) {
  std::string valor = amounts::hundredths_padded(desconto, 15);
  return makers::digiarte_session([&] {
    seam::api().TotalizarCupom(0, 38, valor.c_str(), "");
    return makers::digiarte_judge_answer();
  });
}

}  // namespace

bool inicia_fechamento(Model model, double desconto) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, desconto);
    case Model::Sweda7000: return sweda(desconto);
    case Model::SigtronFS345: return sigtron(desconto);
    case Model::Daruma32: return daruma(desconto);
    case Model::Digiarte1E: return digiarte(desconto);
    case Model::ElginFit:
    case Model::DataregisQuick:
    case Model::DataregisSerial:
    // QUIRK: the command-driver models and EPSON start no closing and report success.
    case Model::Epson: return true;
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
