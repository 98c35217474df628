// The printer's grand total.
#include "frame/operations.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
bool retorna_gt(Model model, OutText total) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return conn::bematech_query(model, vendor::api().Bematech_FI_GrandeTotal, conn::QueryAnswer{18, total});
  return usual_preset(model);
}

}  // namespace kalpo::ops
