// Opens the cash drawer attached to the printer.
#include "makers/dllg2_commands.h"
#include "frame/operations.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
namespace {

// Done only when the analysis finds no error and the printer answered.
bool sigtron() {
  conn::sigtron_open_configured_port();
  return conn::sigtron_analyse(vendor::api().DAR_AbreGaveta()).executed();
}

bool daruma() { return conn::daruma_judge(vendor::api().Daruma_FI_AcionaGaveta()); }

bool open_drawer(int32_t handle) {
  return dllg2::judge_showing_code_number(handle, dllg2::execute(handle, "AbreGaveta"));
}

bool usb() {
  if (!conn::usb_open()) return false;
  return open_drawer(0);
}

bool serial() { return open_drawer(conn::serial_open(conn::SerialSetup::Full)); }

bool bematech(Model model) { return analysis::analisa_iretorno(model, vendor::api().Bematech_FI_AcionaGaveta()); }

}  // namespace

// Models without a drawer branch report success without a call.
bool abre_gaveta(Model model) {
  switch (model) {
    case Model::SigtronFS345: return sigtron();
    case Model::Daruma32: return daruma();
    case Model::ElginFit:
    case Model::DataregisQuick: return usb();
    case Model::DataregisSerial: return serial();
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model);
    default: return true;
  }
}

}  // namespace kalpo::ops
