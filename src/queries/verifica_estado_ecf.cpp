// Reads the printer's status bytes into the caller's integers.
#include "makers/analysis.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {

bool verifica_estado_ecf(Model model, VarInt ack, VarInt st1, VarInt st2) {
  if (!is_bematech(model)) return usual_preset(model);
  // The maker's library writes straight into the caller's integers.
  int32_t ret = seam::api().Bematech_FI_VerificaEstadoImpressora(ack.target(), st1.target(), st2.target());
  return makers::analisa_iretorno(model, ret);
}

}  // namespace kalpo::queries
