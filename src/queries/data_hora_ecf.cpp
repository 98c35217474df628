// The printer's date and time.
#include "makers/sessions.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
bool data_hora_ecf(Model model, OutText data, OutText hora) {
  // Both answers are handed back whatever the analysis says.
  if (is_bematech(model)) {
    return makers::bematech_query(model, seam::api().Bematech_FI_DataHoraImpressora, makers::QueryAnswer{6, data},
                                  makers::QueryAnswer{6, hora});
  }
  return usual_preset(model);
}

}  // namespace kalpo::queries
