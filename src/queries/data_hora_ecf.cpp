// The printer's date and time.
#include "frame/operations.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::ops {
bool data_hora_ecf(Model model, OutText data, OutText hora) {
  // Both answers are handed back whatever the analysis says.
  if (is_bematech(model)) {
    return conn::bematech_query(model, vendor::api().Bematech_FI_DataHoraImpressora, conn::QueryAnswer{6, data},
                                conn::QueryAnswer{6, hora});
  }
  return usual_preset(model);
}

}  // namespace kalpo::ops
