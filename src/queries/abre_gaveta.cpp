#include "frame/operations.h"

namespace kalpo::ops {

bool abre_gaveta(Model) {
  return true;
}

}  // namespace kalpo::ops
