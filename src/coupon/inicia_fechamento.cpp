// Starts the closing of the coupon with a discount on the subtotal, given as
// an amount of money.  The command-driver models and EPSON have no start of
// closing of their own; the command-driver models get their discount through
// desc_fechamento, EPSON gets none.
#include <string>

#include "frame/amounts.h"
#include "frame/operations.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
namespace {

bool bematech(Model model, double desconto) {
  std::string valor = amounts::hundredths_plain(desconto);
  return analysis::analisa_iretorno(model, vendor::api().Bematech_FI_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

bool sweda(double desconto) {
  std::string valor = amounts::hundredths_plain(desconto);
  return analysis::analisa_iretorno(Model::Sweda7000, vendor::api().ECF_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

// The analysis alone decides: the answer count is not examined.
bool sigtron(double desconto) {
  conn::sigtron_open_configured_port();
  std::string valor = amounts::hundredths_general(desconto);
  return conn::sigtron_analyse(vendor::api().DAR_Totaliza(49, valor.c_str(), 49)).no_error;
}

bool daruma(double desconto) {
  std::string valor = amounts::regional(desconto, 2);
  return conn::daruma_judge(vendor::api().Daruma_FI_IniciaFechamentoCupom("D", "$", valor.c_str()));
}

bool digiarte(double desconto) {
  std::string valor = amounts::hundredths_padded(desconto, 15);
  return conn::digiarte_session([&] {
    vendor::api().TotalizarCupom(0, 38, valor.c_str(), "");
    return conn::digiarte_fetch_and_judge_answer();
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
    case Model::Epson: return true;
    default: return usual_preset(model);
  }
}

}  // namespace kalpo::ops
