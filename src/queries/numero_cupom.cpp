// The printer's current coupon number.
#include "makers/analysis.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

// The answer is handed back whatever the analysis says.
bool bematech(Model model, OutText numero) {
  AnswerBuffer buffer(6);
  bool ok = analysis::analisa_iretorno(model, vendor::api().Bematech_FI_NumeroCupom(buffer.data()));
  numero.set(buffer.text());
  return ok;
}

}  // namespace

bool numero_cupom(Model model, OutText numero) {
  if (is_bematech(model)) return bematech(model, numero);
  return usual_preset(model);
}

}  // namespace kalpo::ops
