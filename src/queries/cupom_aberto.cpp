#include "frame/operations.h"

namespace kalpo::ops {

bool cupom_aberto(Model model) {
  return !without_printer(model);
}

}  // namespace kalpo::ops
