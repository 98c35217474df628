// DllG2 stand-in: the driver does not start (-1), commands do not run (-1)
// and the error code is 15013, "no DTR signal".
#include "sim/standin.h"

namespace {
template <typename R, typename Args>
R answer(std::string_view name, const Args &) {
  if constexpr (std::is_pointer_v<R>) {
    return "";
  } else {
    if (name == "DLLG2_ObtemCodErro") return 15013;
    if (name == "DLLG2_SetaArquivoLog" || name == "DLLG2_LimpaParams" || name == "DLLG2_AdicionaParam") return 0;
    return -1;
  }
}
}  // namespace

#define KALPO_DLLG2(ret, name, params, args) KALPO_STANDIN_DEFINE(ret, name, params, args, answer)
#include "vendor/vendor_list.h"
