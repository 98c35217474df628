#include <cstring>

#include "analysis/analysis.h"
#include "vendor/vendor.h"

namespace kalpo::analysis {
bool analisa_ret_sigtron(int32_t code, char *answer, int32_t, int32_t *count) {
  std::memset(answer, ' ', 100);
  *count = vendor::api().DAR_Resposta(answer, 99);
  return code != -1;
}
}  // namespace kalpo::analysis
