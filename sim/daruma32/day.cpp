// The day's reports and the device: X reading, Z reduction, cash drawer.
#include <array>
#include <cctype>

#include "daruma.h"

using daruma::text;
using ksim::Outcome;
using ksim::Session;

namespace {

// Two-digit fields of "dd/mm/yy" or "hh:mm:ss" (the separator any non-digit).
std::optional<std::array<int, 3>> fields(std::string_view value) {
  if (value.size() != 8 || value[2] != value[5] || std::isdigit(static_cast<unsigned char>(value[2])))
    return std::nullopt;
  std::array<int, 3> parts{};
  for (int i = 0; i < 3; ++i) {
    char high = value[i * 3], low = value[i * 3 + 1];
    if (!std::isdigit(static_cast<unsigned char>(high)) || !std::isdigit(static_cast<unsigned char>(low)))
      return std::nullopt;
    parts[i] = (high - '0') * 10 + (low - '0');
  }
  return parts;
}

// The reduction may set the printer's clock to the date and time given
// ("dd/mm/yy", "hh:mm:ss"); with neither it keeps its own.
Outcome reduction(Session &session, std::string_view date, std::string_view time) {
  if (!date.empty() || !time.empty()) {
    auto day = fields(date);
    auto hour = fields(time);
    if (!day || !hour || (*day)[1] < 1 || (*day)[1] > 12 || (*day)[0] < 1 || (*day)[0] > 31 || (*hour)[0] > 23 ||
        (*hour)[1] > 59 || (*hour)[2] > 59)
      return Outcome::invalid_argument;
    ksim::DateTime wanted{2000 + (*day)[2], (*day)[1], (*day)[0], (*hour)[0], (*hour)[1], (*hour)[2]};
    Outcome set = session.set_clock_offset(session.state().clock_offset + ksim::from_civil(wanted) - session.now());
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
