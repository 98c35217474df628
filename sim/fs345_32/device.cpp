// The printer's identification and the cash drawer.
#include "fs345_32/answer.h"

using ksim::Session;

namespace {

// Serial number in eight characters (its last eight, blank-filled on the
// left) and firmware version in four digits (its first four).
std::string identification(const ksim::Identity &id) {
  std::string serial = id.serial.size() >= 8 ? id.serial.substr(id.serial.size() - 8)
                                             : std::string(8 - id.serial.size(), ' ') + id.serial;
  const std::string firmware = common::digits_in(id.firmware).substr(0, 4);
  return serial + firmware + std::string(4 - firmware.size(), '0');
}

}  // namespace

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_LeIdent(std::int32_t modo) {
  return fs345::run(
      "DAR_LeIdent", modo, [](Session &s) { return fs345::done(identification(s.state().identity)); },
      ksim::Call::query);
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_AbreGaveta() {
  return fs345::run("DAR_AbreGaveta", '1', [](Session &s) { return fs345::reply(s.open_drawer(), s); });
}
