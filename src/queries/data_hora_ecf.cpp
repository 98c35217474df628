#include "frame/operations.h"

namespace kalpo::ops {

bool data_hora_ecf(Model model, OutText, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
