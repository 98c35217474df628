// Daruma32 stand-in: the extended error is 999, "no communication with the
// printer"; commands answer -1.
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view name, const Args &args) {
  if (name == "Daruma_FI_RetornaErroExtendido") {
    if (char *buffer = std::apply([](auto... a) { return kalpo::sim::first_buffer(a...); }, args)) {
      std::memcpy(buffer, "999", 4);
    }
    return 0;
  }
  if (name == "Daruma_Registry_Porta") return 1;
  return -1;
}
}  // namespace

#define KALPO_DARUMA32(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
