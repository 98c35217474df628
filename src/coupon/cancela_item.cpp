#include "frame/operations.h"

namespace kalpo::ops {

bool cancela_item(Model model, int32_t) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
