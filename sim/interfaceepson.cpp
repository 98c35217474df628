// InterfaceEpson stand-in: the port does not open and the state cannot be
// read (every call answers 1, a failure).
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view, const Args &) {
  return 1;
}
}  // namespace

#define KALPO_EPSON(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
