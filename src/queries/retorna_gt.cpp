// The printer's grand total.
#include "makers/analysis.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

// The answer is handed back whatever the analysis says.
bool bematech(Model model, OutText total) {
  AnswerBuffer buffer(18);
  bool ok = analysis::analisa_iretorno(model, vendor::api().Bematech_FI_GrandeTotal(buffer.data()));
  total.set(buffer.text());
  return ok;
}

}  // namespace

bool retorna_gt(Model model, OutText total) {
  if (is_bematech(model)) return bematech(model, total);
  return usual_preset(model);
}

}  // namespace kalpo::ops
