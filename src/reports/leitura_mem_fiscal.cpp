#include "frame/operations.h"

namespace kalpo::ops {

bool leitura_mem_fiscal(Model model, const std::string &, const std::string &, const std::string &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
