#include "frame/operations.h"

namespace kalpo::ops {

bool totalizador_parcial(Model model, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
