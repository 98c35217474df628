#include "frame/operations.h"

namespace kalpo::ops {

bool desc_fechamento(Model, double) {
  return false;
}

}  // namespace kalpo::ops
