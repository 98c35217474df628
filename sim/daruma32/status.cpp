// The library's set-up and status calls: the recorded port, the status bytes
// and the extended error of the last command.
#include <cstdio>

#include "daruma32/daruma.h"

using daruma::text;
using ksim::Outcome;
using ksim::Session;

extern "C" {

// Records the serial port the library talks through ("COM1"...), durably.
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_Registry_Porta(const char *porta) {
  return daruma::query("Daruma_Registry_Porta", [&](Session &s) {
    std::string_view port = text(porta);
    if (port.empty() || port.size() > 32) return Outcome::invalid_argument;
    return s.set_value("porta", port);
  });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_RetornoImpressora(std::int32_t *ack, std::int32_t *st1,
                                                                             std::int32_t *st2) {
  if (!ack || !st1 || !st2) return -2;
  try {
    const daruma::Last &status = daruma::last();
    *ack = status.ack;
    *st1 = status.st1;
    *st2 = status.st2;
    return status.ack == 0 ? 0 : 1;
  } catch (...) {
    return 0;
  }
}

// The error number of the last command, three digits and a terminating zero.
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_RetornaErroExtendido(char *erro) {
  if (!erro) return -2;
  try {
    daruma::Last &status = daruma::last();
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03d", status.error % 1000);
    daruma::put(erro, status.unreadable ? "E?R" : digits, 3);
    status.unreadable = false;
    return 1;
  } catch (...) {
    daruma::put(erro, "999", 3);
    return 0;
  }
}

}  // extern "C"
