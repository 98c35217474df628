// CONVECF: the status bytes and the serial port.
#include "convecf/library.h"

// ACK, ST1, ST2 and ST3: the outcome of the last command when no status
// read has taken it yet, else the printer's state.
BEMA_EXPORT ECF_RetornoImpressoraMFD(std::int32_t *ack, std::int32_t *st1, std::int32_t *st2, std::int32_t *st3) {
  return bema::read_status(convecf::kLibrary, __func__, ack, st1, st2, st3);
}

// The port opens again by itself at the next call; the outcome of the last
// command goes with it.
BEMA_EXPORT ECF_FechaPortaSerial() {
  try {
    bema::pending(convecf::kLibrary).set(std::nullopt);
    return bema::kOk;
  } catch (...) {
    return bema::kExecution;
  }
}
