// BEMATECHMP20 and BEMATECHMFD (bemafi32): the paper handling between
// documents.
#include "makers/sessions.h"

#include "frame/config.h"
#include "seam/seam.h"

namespace kalpo::makers {

void bematech_paper_handling() {
  if (!config::paper_handling_on()) return;
  seam::api().Bematech_FI_LinhasEntreCupons(15);
  seam::api().Bematech_FI_AtivaDesativaCorteProximoMFD();
}

}  // namespace kalpo::makers
