#include "frame/operations.h"

namespace kalpo::ops {

bool fecha_cupom(Model model, const TextControl &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
