#include "frame/operations.h"

namespace kalpo::ops {

bool abre_cupom(Model model, OutText, const std::string &, const std::string &, const std::string &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
