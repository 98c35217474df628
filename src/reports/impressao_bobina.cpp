#include "frame/command_driver.h"
#include "frame/connections.h"
#include "frame/operations.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

// Both models go through the serial connection here, ELGINFIT included.
bool serial() {
  int32_t handle = conn::serial_open(conn::SerialSetup::Full);
  int32_t answer = dllg2::execute(handle, "EscreveInteiro",
                                  {{"NomeInteiro", "EspacamentoDocumentos", dllg2::kText},
                                   {"ValorInteiro", "350", dllg2::kInt}});
  bool ok = dllg2::judge(handle, answer);
  vendor::api().DLLG2_EncerraDriver(handle);
  return ok;
}

}  // namespace

bool impressao_bobina(Model model) {
  if (model == Model::DataregisSerial || model == Model::ElginFit) return serial();
  return true;
}

}  // namespace kalpo::ops
