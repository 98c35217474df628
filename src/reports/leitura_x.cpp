#include "frame/operations.h"

namespace kalpo::ops {

bool leitura_x(Model model, VarInt) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
