// Whether a fiscal coupon is open.
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
namespace {

// Acknowledged status with the "coupon open" bit of the first status byte.
// The return code is not looked at and nothing is shown: a failed call
// leaves the acknowledgement at 0.
bool bematech() {
  int32_t ack = 0, st1 = 0, st2 = 0;
  seam::api().Bematech_FI_RetornoImpressora(&ack, &st1, &st2);
  return ack == 6 && (st1 & 2) != 0;
}

}  // namespace

// Models that cannot be asked answer that a coupon is open; the printerless
// ones that none is.
// QUIRK: an unknown identifier answers that a coupon is open.
bool cupom_aberto(Model model) {
  if (is_bematech(model)) return bematech();
  return !without_printer(model);
}

}  // namespace kalpo::queries
