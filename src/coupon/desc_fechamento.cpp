// The discount on the subtotal for the command-driver models, sent as a
// negative surcharge.  Every other model gets its discount at the start of
// the closing; here it does nothing and reports false.
#include <string>

#include "frame/amounts.h"
#include "makers/dllg2_commands.h"
#include "frame/operations.h"
#include "makers/sessions.h"

namespace kalpo::ops {
namespace {

bool command_driver(int32_t handle, double desconto) {
  int32_t answer =
      dllg2::execute(handle, "AcresceSubtotal",
                     {{"Cancelar", "F", dllg2::kNumberOrFlag},
                      {"ValorAcrescimo", amounts::general(-static_cast<long double>(desconto)), dllg2::kDecimal}});
  return dllg2::judge_showing_negative_answer(handle, answer);
}

}  // namespace

bool desc_fechamento(Model model, double desconto) {
  switch (model) {
    case Model::ElginFit:
    case Model::DataregisQuick: return conn::usb_open() && command_driver(0, desconto);
    case Model::DataregisSerial: return command_driver(conn::serial_open(conn::SerialSetup::Full), desconto);
    default: return false;
  }
}

}  // namespace kalpo::ops
