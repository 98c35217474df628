// The discount on the subtotal for the command-driver models, sent as a
// negative surcharge.  Every other model gets its discount at the start of
// the closing; here it does nothing and reports false.
#include <string>

#include "coupon/coupon.h"
#include "frame/amounts.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"

namespace kalpo::coupon {
namespace {

bool command_driver(int32_t handle, double desconto) {
  int32_t answer = makers::dllg2::execute(
      handle, "AcresceSubtotal",
      {{"Cancelar", "F", makers::dllg2::kNumberOrFlag},
       {"ValorAcrescimo", amounts::general(-static_cast<long double>(desconto)), makers::dllg2::kDecimal}});
  return makers::dllg2::judge_showing_negative_answer(handle, answer);
}

}  // namespace

bool desc_fechamento(Model model, double desconto) {
  switch (model) {
    case Model::ElginFit:
    case Model::DataregisQuick: return makers::usb_open() && command_driver(0, desconto);
    case Model::DataregisSerial: return command_driver(makers::serial_open(makers::SerialSetup::Full), desconto);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::BematechMP20:
    case Model::BematechMFD:
    case Model::Sweda7000:
    case Model::SigtronFS345:
    case Model::Daruma32:
    case Model::Digiarte1E:
    case Model::Epson: return false;
  }
  return false;
}

}  // namespace kalpo::coupon
