// fs345_32 stand-in: commands answer -1 (an error), the last error holds no
// error number and no answer ever arrives, so the printer is silent.
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view name, const Args &) {
  if (name == "DAR_Erro") return 0x20000000 - 1;
  if (name == "DAR_Resposta" || name == "DAR_AbreSerial") return 0;
  return -1;
}
}  // namespace

#define KALPO_FS345(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
