#include "frame/operations.h"

namespace kalpo::ops {

bool cancela_ultimo_cupom(Model model, VarInt, OutText numero, OutText estado) {
  numero.set_constant("0");
  estado.set_constant("N");
  return usual_preset(model);
}

}  // namespace kalpo::ops
