// Asks the printer for its tax-rate table; only the result is handed back.
#include "makers/analysis.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

bool bematech(Model model) {
  AnswerBuffer buffer(79);
  return analysis::analisa_iretorno(model, vendor::api().Bematech_FI_RetornoAliquotas(buffer.data()));
}

}  // namespace

bool resumo_aliq(Model model) {
  if (is_bematech(model)) return bematech(model);
  return usual_preset(model);
}

}  // namespace kalpo::ops
