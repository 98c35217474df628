// The printer's current coupon number.
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
bool numero_cupom(Model model, OutText numero) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return makers::bematech_query(model, seam::api().Bematech_FI_NumeroCupom, makers::QueryAnswer{6, numero});
  return usual_preset(model);
}

}  // namespace kalpo::queries
