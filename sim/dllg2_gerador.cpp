// DLLG2_Gerador stand-in: without a printer no file is generated.
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view, const Args &) {
  return -1;
}
}  // namespace

#define KALPO_DLLG2_GERADOR(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
