// The printer's partial totalizers.
#include "makers/analysis.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

// The answer is handed back whatever the analysis says.
bool bematech(Model model, OutText totais) {
  AnswerBuffer buffer(445);
  bool ok = analysis::analisa_iretorno(model, vendor::api().Bematech_FI_VerificaTotalizadoresParciais(buffer.data()));
  totais.set(buffer.text());
  return ok;
}

}  // namespace

bool totalizador_parcial(Model model, OutText totais) {
  if (is_bematech(model)) return bematech(model, totais);
  return usual_preset(model);
}

}  // namespace kalpo::ops
