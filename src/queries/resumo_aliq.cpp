// Asks the printer for its tax-rate table; only the result is handed back.
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
bool resumo_aliq(Model model) {
  if (is_bematech(model)) {
    return makers::bematech_query(model, seam::api().Bematech_FI_RetornoAliquotas, makers::QueryAnswer{79, OutText()});
  }
  return usual_preset(model);
}

}  // namespace kalpo::queries
