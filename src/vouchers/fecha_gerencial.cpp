#include "frame/operations.h"

namespace kalpo::ops {

bool fecha_gerencial(Model model) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
