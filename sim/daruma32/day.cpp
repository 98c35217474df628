// The day's reports and the device: X reading, Z reduction, cash drawer.
#include "daruma32/daruma.h"

using daruma::text;
using ksim::Outcome;
using ksim::Session;

namespace {

// The reduction may set the printer's clock to the date and time given
// ("dd/mm/yy", "hh:mm:ss"); with neither it keeps its own.
Outcome reduction(Session &session, std::string_view date, std::string_view time) {
  if (!date.empty() || !time.empty()) {
    auto wanted = common::date_time(std::string(date) + " " + std::string(time), "dd/mm/yy hh:nn:ss");
    if (!wanted) return Outcome::invalid_argument;
    Outcome set = session.set_clock_offset(session.state().clock_offset + ksim::from_civil(*wanted) - session.now());
    if (set != Outcome::ok) return set;
  }
  return session.z_reduction();
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_LeituraX() {
  return daruma::command("Daruma_FI_LeituraX", [](Session &s) { return s.x_reading(); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_ReducaoZ(const char *data, const char *hora) {
  return daruma::command("Daruma_FI_ReducaoZ", [&](Session &s) { return reduction(s, text(data), text(hora)); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL Daruma_FI_AcionaGaveta() {
  return daruma::command("Daruma_FI_AcionaGaveta", [](Session &s) { return s.open_drawer(); });
}

}  // extern "C"
