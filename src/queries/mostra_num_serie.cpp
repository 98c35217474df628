#include "frame/operations.h"

namespace kalpo::ops {

bool mostra_num_serie(Model, OutText) {
  return false;
}

}  // namespace kalpo::ops
