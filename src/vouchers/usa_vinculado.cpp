#include "frame/operations.h"

namespace kalpo::ops {

bool usa_vinculado(Model model, const std::string &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
