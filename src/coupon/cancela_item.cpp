// Cancellation of one item of the open coupon, named by its number.
#include "coupon/coupon.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

bool bematech(Model model, const std::string &item) {
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_CancelaItemGenerico(item.c_str()));
}

bool sweda(Model model, const std::string &item) {
  return makers::analisa_iretorno(model, seam::api().ECF_CancelaItemGenerico(item.c_str()));
}

bool sigtron(const std::string &item) {
  makers::sigtron_open_configured_port();
  return makers::sigtron_judge_executed(seam::api().DAR_CancelaItem(item.c_str(), 49)).executed();
}

bool cancels(int32_t handle, const std::string &item) {
  int32_t answer =
      makers::dllg2::execute(handle, "CancelaItemFiscal", {{"NumItem", item, makers::dllg2::kNumberOrFlag}});
  return makers::dllg2::judge_showing_negative_answer(handle, answer);
}

bool usb(const std::string &item) { return makers::usb_open() && cancels(0, item); }

bool serial(const std::string &item) { return cancels(makers::serial_open(makers::SerialSetup::Full), item); }

bool epson(const std::string &item) {
  return makers::epson_session("EPSON_Fiscal_Cancelar_Item",
                               [&] { return seam::api().EPSON_Fiscal_Cancelar_Item(item.c_str()); });
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
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal:
    case Model::Daruma32:
    case Model::Digiarte1E:
      // DARUMA32 and DIGIARTE1E have no item cancellation.
      return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
