// BEMAFI32: the status bytes.
#include "bemafi32/library.h"

// The outcome of the last command when no status read has taken it yet,
// else the printer's state.
BEMA_EXPORT Bematech_FI_RetornoImpressora(std::int32_t *ack, std::int32_t *st1, std::int32_t *st2) {
  return bema::read_status(bemafi32::kLibrary, __func__, ack, st1, st2, nullptr);
}

// The printer's state, asked for on purpose.
BEMA_EXPORT Bematech_FI_VerificaEstadoImpressora(std::int32_t *ack, std::int32_t *st1, std::int32_t *st2) {
  return bema::read_state(bemafi32::kLibrary, __func__, ack, st1, st2);
}
