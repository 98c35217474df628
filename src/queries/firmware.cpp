#include "frame/operations.h"

namespace kalpo::ops {

bool firmware(Model model, OutText) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
