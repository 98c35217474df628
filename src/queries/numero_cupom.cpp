#include "frame/operations.h"

namespace kalpo::ops {

bool numero_cupom(Model model, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
