#include "frame/operations.h"

namespace kalpo::ops {

bool resumo_aliq(Model model) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
