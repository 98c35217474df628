// Asks the printer for its tax-rate table; only the result is handed back.
#include "frame/operations.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
bool resumo_aliq(Model model) {
  if (is_bematech(model)) {
    return conn::bematech_query(model, vendor::api().Bematech_FI_RetornoAliquotas, conn::QueryAnswer{79, OutText()});
  }
  return usual_preset(model);
}

}  // namespace kalpo::ops
