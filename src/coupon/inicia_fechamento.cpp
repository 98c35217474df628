#include "frame/operations.h"

namespace kalpo::ops {

bool inicia_fechamento(Model model, double) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
