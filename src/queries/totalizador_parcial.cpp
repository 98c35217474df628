// The printer's partial totalizers.
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
bool totalizador_parcial(Model model, OutText totais) {
  // The answer is handed back whatever the analysis says.
  if (is_bematech(model))
    return makers::bematech_query(model, seam::api().Bematech_FI_VerificaTotalizadoresParciais,
                                  makers::QueryAnswer{445, totais});
  return usual_preset(model);
}

}  // namespace kalpo::queries
