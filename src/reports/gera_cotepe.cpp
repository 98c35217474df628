#include "frame/operations.h"

namespace kalpo::ops {

bool gera_cotepe(Model model, double) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
