#include "frame/operations.h"

namespace kalpo::ops {

bool retorna_gt(Model model, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
