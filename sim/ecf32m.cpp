// ecf32m stand-in: the serial link fails (-87) and no return text arrives.
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view name, const Args &) {
  if (name == "ObtemRetorno") return -99;
  if (name == "CloseCif") return 0;
  return -87;
}
}  // namespace

#define KALPO_ECF32M(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
