// Cancellation of one item of the open coupon, named by its number.
#include "makers/dllg2_commands.h"
#include "frame/operations.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
namespace {

bool bematech(Model model, const std::string &item) {
  return analysis::analisa_iretorno(model, vendor::api().Bematech_FI_CancelaItemGenerico(item.c_str()));
}

bool sweda(Model model, const std::string &item) {
  return analysis::analisa_iretorno(model, vendor::api().ECF_CancelaItemGenerico(item.c_str()));
}

bool sigtron(const std::string &item) {
  conn::sigtron_open_configured_port();
  return conn::sigtron_expect_executed(vendor::api().DAR_CancelaItem(item.c_str(), 49)).executed();
}

bool cancels(int32_t handle, const std::string &item) {
  int32_t answer = dllg2::execute(handle, "CancelaItemFiscal", {{"NumItem", item, dllg2::kNumberOrFlag}});
  return dllg2::judge_showing_negative_answer(handle, answer);
}

bool usb(const std::string &item) { return conn::usb_open() && cancels(0, item); }

bool serial(const std::string &item) { return cancels(conn::serial_open(conn::SerialSetup::Full), item); }

bool epson(const std::string &item) {
  return conn::epson_session("EPSON_Fiscal_Cancelar_Item",
                             [&] { return vendor::api().EPSON_Fiscal_Cancelar_Item(item.c_str()); });
}

}  // namespace

bool cancela_item(Model model, int32_t numero) {
  std::string item = std::to_string(numero);
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, item);
    case Model::Sweda7000: return sweda(model, item);
    case Model::SigtronFS345: return sigtron(item);
    case Model::ElginFit:
    case Model::DataregisQuick: return usb(item);
    case Model::DataregisSerial: return serial(item);
    case Model::Epson: return epson(item);
    default:
      // DARUMA32 and DIGIARTE1E have no item cancellation.
      return usual_preset(model);
  }
}

}  // namespace kalpo::ops
