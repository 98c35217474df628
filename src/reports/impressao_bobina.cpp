#include "frame/operations.h"

namespace kalpo::ops {

bool impressao_bobina(Model) {
  return true;
}

}  // namespace kalpo::ops
