// The printer's grand total.
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
bool retorna_gt(Model model, OutText total) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return makers::bematech_query(model, seam::api().Bematech_FI_GrandeTotal, makers::QueryAnswer{18, total});
  return usual_preset(model);
}

}  // namespace kalpo::queries
