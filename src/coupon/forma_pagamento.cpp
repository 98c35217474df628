#include "frame/operations.h"

namespace kalpo::ops {

bool forma_pagamento(Model model, const std::string &, double) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
