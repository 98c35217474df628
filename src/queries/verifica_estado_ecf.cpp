#include "frame/operations.h"

namespace kalpo::ops {

bool verifica_estado_ecf(Model model, VarInt, VarInt, VarInt) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
