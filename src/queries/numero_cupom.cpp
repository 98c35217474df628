// The printer's current coupon number.
#include "frame/operations.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
bool numero_cupom(Model model, OutText numero) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return conn::bematech_query(model, vendor::api().Bematech_FI_NumeroCupom, conn::QueryAnswer{6, numero});
  return usual_preset(model);
}

}  // namespace kalpo::ops
