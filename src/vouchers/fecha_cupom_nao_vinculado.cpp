#include "frame/operations.h"

namespace kalpo::ops {

bool fecha_cupom_nao_vinculado(Model model) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
