// One payment on the coupon whose closing has started.
#include "base/cp1252.h"
#include "coupon/coupon.h"
#include "frame/amounts.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

bool bematech(Model model, const std::string &forma, double valor) {
  int32_t ret =
      seam::api().Bematech_FI_EfetuaFormaPagamento(null_if_empty(forma), amounts::hundredths_padded(valor, 12).c_str());
  return makers::analisa_iretorno(model, ret);
}

bool sweda(Model model, const std::string &forma, double valor) {
  int32_t ret =
      seam::api().ECF_EfetuaFormaPagamento(null_if_empty(forma), amounts::hundredths_padded(valor, 12).c_str());
  return makers::analisa_iretorno(model, ret);
}

// The printer takes the form as its first character alone; without one
// there is nothing to send.
bool sigtron(const std::string &forma, double valor) {
  if (forma.empty()) {
    msg::notice(own::kPaymentMissing.text);
    return false;
  }
  makers::sigtron_open_configured_port();
  int32_t ret = seam::api().DAR_DescFormPag(forma[0], amounts::hundredths_plain(valor).c_str(), " ", 49);
  return makers::sigtron_judge(ret).no_error;
}

bool daruma(const std::string &forma, double valor) {
  return makers::daruma_judge(
      seam::api().Daruma_FI_EfetuaFormaPagamento(null_if_empty(forma), amounts::regional(valor, 2).c_str()));
}

bool digiarte(const std::string &forma, double valor) {
  return makers::digiarte_session([&] {
    seam::api().Pagamento(forma.c_str(), amounts::hundredths_padded(valor, 15).c_str(), 48);
    return makers::digiarte_judge_answer();
  });
}

// The same text goes as the payment method's code and as its name.
bool pays(int32_t handle, const std::string &forma, double valor) {
  int32_t answer =
      makers::dllg2::execute(handle, "PagaCupom",
                             {{"CodMeioPagamento", forma, makers::dllg2::kCode, makers::dllg2::kNullWhenEmpty},
                              {"NomeMeioPagamento", forma, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty},
                              {"Valor", amounts::general(valor), makers::dllg2::kDecimal}});
  return makers::dllg2::judge_showing_code_text(handle, answer);
}

bool usb(const std::string &forma, double valor) {
  if (!makers::usb_open()) return false;
  return pays(0, forma, valor);
}

bool serial(const std::string &forma, double valor) {
  return pays(makers::serial_open(makers::SerialSetup::Full), forma, valor);
}

bool epson(const std::string &forma, double valor) {
  return makers::epson_session("EPSON_Fiscal_Pagamento", [&] {
    return seam::api().EPSON_Fiscal_Pagamento(forma.c_str(), amounts::thousandths_padded(valor, 6).c_str(), 3, "", "");
  });
}

}  // namespace

bool forma_pagamento(Model model, const std::string &forma, double valor) {
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, forma, valor);
    case Model::Sweda7000: return sweda(model, forma, valor);
    case Model::SigtronFS345: return sigtron(forma, valor);
    case Model::Daruma32: return daruma(forma, valor);
    case Model::Digiarte1E: return digiarte(forma, valor);
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(forma, valor);
    case Model::DataregisSerial: return serial(forma, valor);
    case Model::Epson: return epson(forma, valor);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
