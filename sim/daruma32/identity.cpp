// The printer's identification: serial number and firmware version.
#include "daruma32/daruma.h"

using ksim::Outcome;
using ksim::Session;

extern "C" {

// The serial number, up to 20 characters.
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_NumeroSerie(char *numero) {
  return daruma::query("Daruma_FI_NumeroSerie", [&](Session &s) {
    if (!numero) return Outcome::invalid_argument;
    daruma::put(numero, s.state().identity.serial, 20);
    return Outcome::ok;
  });
}

// The firmware version as four digits ("01.00.00" answers "0100").
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_VersaoFirmware(char *versao) {
  return daruma::query("Daruma_FI_VersaoFirmware", [&](Session &s) {
    if (!versao) return Outcome::invalid_argument;
    daruma::put(versao, common::digits_in(s.state().identity.firmware), 4);
    return Outcome::ok;
  });
}

}  // extern "C"
