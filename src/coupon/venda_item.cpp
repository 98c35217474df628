#include "frame/operations.h"

namespace kalpo::ops {

bool venda_item(Model model, const std::string &, const std::string &, const std::string &, const std::string &, double, int32_t, double, const std::string &) {
  return usual_preset(model);
}

}  // namespace kalpo::ops
