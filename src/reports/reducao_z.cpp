#include "frame/operations.h"
#include "frame/messages.h"
#include "frame/text.h"

namespace kalpo::ops {

bool reducao_z(Model model, VarInt) {
  if (!msg::confirm("A Redução Z impossibilitará novas impressões\rde Cupons Fiscais!\r\rContinua ?"_cp)) {
    msg::info("Emissão de Redução Abortada!"_cp);
    return false;
  }
  return usual_preset(model);
}

}  // namespace kalpo::ops
