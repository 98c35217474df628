// Opens a non-fiscal voucher linked to a payment of an earlier coupon.
#include "base/cp1252.h"
#include "frame/amounts.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::vouchers {
namespace {

bool bematech(Model model, const std::string &forma, const std::string &numero_cupom, double valor) {
  std::string cents = amounts::hundredths_padded(valor, 14);
  makers::bematech_paper_handling();
  int32_t ret =
      seam::api().Bematech_FI_AbreComprovanteNaoFiscalVinculado(forma.c_str(), cents.c_str(), numero_cupom.c_str());
  return makers::analisa_iretorno(model, ret);
}

bool sweda(Model model, const std::string &forma, const std::string &numero_cupom, double valor) {
  std::string cents = amounts::hundredths_padded(valor, 14);
  int32_t ret = seam::api().ECF_AbreComprovanteNaoFiscalVinculado(forma.c_str(), cents.c_str(), numero_cupom.c_str());
  return makers::analisa_iretorno(model, ret);
}

// The printer takes the payment method as its first character, twice; without
// one there is nothing to send.
bool sigtron(const std::string &forma, const std::string &numero_cupom, double valor) {
  if (forma.empty()) {
    msg::notice(own::kPaymentMissing.text);
    return false;
  }
  makers::sigtron_open_configured_port();
  std::string cents = amounts::hundredths_padded(valor, 13);
  int32_t ret = seam::api().DAR_AbreCNFV(forma[0], forma[0], numero_cupom.c_str(), cents.c_str(), 49);
  return makers::sigtron_judge(ret).no_error;
}

bool daruma(const std::string &forma, const std::string &numero_cupom) {
  return makers::daruma_judge(
      seam::api().Daruma_FI_AbreComprovanteNaoFiscalVinculado(forma.c_str(), "", numero_cupom.c_str()));
}

bool open_credit_debit(int32_t handle, const std::string &forma, const std::string &numero_cupom, double valor) {
  int32_t answer = makers::dllg2::execute(handle, "AbreCreditoDebito",
                                          {{"CodMeioPagamento", forma, makers::dllg2::kCode},
                                           {"COO", numero_cupom, makers::dllg2::kNumberOrFlag},
                                           {"Valor", amounts::general(valor), makers::dllg2::kDecimal}});
  return makers::dllg2::judge_showing_code_number(handle, answer);
}

// QUIRK: the cut comes before the voucher, even when the driver then fails to start.
bool usb(Model model, const std::string &forma, const std::string &numero_cupom, double valor) {
  makers::elgin_paper_cut(model);
  if (!makers::usb_open()) return false;
  return open_credit_debit(0, forma, numero_cupom, valor);
}

bool serial(const std::string &forma, const std::string &numero_cupom, double valor) {
  int32_t handle = makers::serial_open(makers::SerialSetup::Full);
  return open_credit_debit(handle, forma, numero_cupom, valor);
}

}  // namespace

bool cupom_vinculado(Model model, const std::string &forma, const std::string &numero_cupom, double valor) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, forma, numero_cupom, valor);
    case Model::Sweda7000: return sweda(model, forma, numero_cupom, valor);
    case Model::SigtronFS345: return sigtron(forma, numero_cupom, valor);
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(model, forma, numero_cupom, valor);
    case Model::Daruma32: return daruma(forma, numero_cupom);
    case Model::DataregisSerial: return serial(forma, numero_cupom, valor);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Digiarte1E:
    case Model::Epson: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::vouchers
