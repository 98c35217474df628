// DARUMA32 (daruma32): a call judged by the extended error after it.
#include "makers/sessions.h"

#include "frame/state.h"
#include "makers/analysis.h"

namespace kalpo::makers {

bool daruma_judge(int32_t ret) {
  state().iRetornoDaruma = ret;
  return analisa_ret_daruma();
}

}  // namespace kalpo::makers
