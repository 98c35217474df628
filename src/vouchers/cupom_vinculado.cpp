#include "frame/operations.h"

namespace kalpo::ops {

bool cupom_vinculado(Model model, const std::string &, const std::string &, double) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
