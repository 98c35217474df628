// The printer's partial totalizers.
#include "frame/operations.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
bool totalizador_parcial(Model model, OutText totais) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return conn::bematech_query(model, vendor::api().Bematech_FI_VerificaTotalizadoresParciais,
                                conn::QueryAnswer{445, totais});
  return usual_preset(model);
}

}  // namespace kalpo::ops
