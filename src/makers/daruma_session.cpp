// DARUMA32 (Daruma32.dll): a call judged by the extended error after it.
#include "makers/sessions.h"

#include "frame/state.h"
#include "makers/analysis.h"

namespace kalpo::conn {

bool daruma_judge(int32_t ret) {
  state().iRetornoDaruma = ret;
  return analysis::analisa_ret_daruma();
}

}  // namespace kalpo::conn
