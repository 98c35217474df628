#include "frame/operations.h"

namespace kalpo::ops {

bool usa_vinculado_termica(Model, const TextControl &) {
  return false;
}

}  // namespace kalpo::ops
