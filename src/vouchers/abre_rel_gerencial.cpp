#include "frame/operations.h"

namespace kalpo::ops {

bool abre_rel_gerencial(Model model, const std::string &, const std::string &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
