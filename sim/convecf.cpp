// CONVECF stand-in: every call answers -6, "printer off or disconnected".
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view, const Args &) {
  return -6;
}
}  // namespace

#define KALPO_CONVECF(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
