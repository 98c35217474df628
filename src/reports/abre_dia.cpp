#include "frame/operations.h"

namespace kalpo::ops {

bool abre_dia(Model model) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
