#include "frame/operations.h"

namespace kalpo::ops {

bool num_reducao(Model model, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
