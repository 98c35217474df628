// The day's reports and the fiscal-memory readings.
#include "ecf32m/answer.h"

using ksim::Session;

namespace {

// A reading's mode text: "0" simplified, "1" complete.
bool reading_mode(const char *modo) {
  const std::string_view mode = common::text(modo);
  return mode == "0" || mode == "1";
}

}  // namespace

// modo: the number 0 (printed) or 1.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL LeituraX(std::int32_t modo) {
  return ecf32m::run("LeituraX", [&](Session &s) {
    return modo == 0 || modo == 1 ? ecf32m::reply(s.x_reading(), s) : ecf32m::refuse(ecf32m::syntax);
  });
}

// modo: the character code '0' (48) or '1'.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL ReducaoZ(std::int32_t modo) {
  return ecf32m::run("ReducaoZ", [&](Session &s) {
    return modo == '0' || modo == '1' ? ecf32m::reply(s.z_reduction(), s) : ecf32m::refuse(ecf32m::syntax);
  });
}

// From and to as "ddmmyy".
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL LeMemFiscalData(const char *inicio, const char *fim,
                                                                            const char *modo) {
  return ecf32m::run("LeMemFiscalData", [&](Session &s) {
    const std::string_view texts[] = {common::text(inicio), common::text(fim)};
    std::string dates[2];
    for (int i = 0; i < 2; ++i) {
      const common::Number digits = common::digits(texts[i], 6);
      if (!digits.ok()) return ecf32m::refuse(ecf32m::field_error(digits));
      const std::optional<ksim::DateTime> date = common::date_time(texts[i], "ddmmyy");
      if (!date) return ecf32m::refuse(ecf32m::bad_date);
      dates[i] = common::iso_date(*date);
    }
    if (!reading_mode(modo)) return ecf32m::refuse(ecf32m::syntax);
    if (dates[0] > dates[1]) return ecf32m::refuse(ecf32m::range);
    return ecf32m::reply(s.memory_by_date(dates[0], dates[1]), s);
  });
}

// From and to as reduction numbers (CRZ), up to four digits.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL LeMemFiscalReducao(const char *inicio, const char *fim,
                                                                               const char *modo) {
  return ecf32m::run("LeMemFiscalReducao", [&](Session &s) {
    const common::Number from = common::digits(common::text(inicio), 1, 15),
                         to = common::digits(common::text(fim), 1, 15);
    for (const common::Number *n : {&from, &to}) {
      if (!n->ok()) return ecf32m::refuse(ecf32m::field_error(*n));
      if (n->value > 9999) return ecf32m::refuse(ecf32m::syntax);
    }
    if (!reading_mode(modo)) return ecf32m::refuse(ecf32m::syntax);
    if (from.value > to.value) return ecf32m::refuse(ecf32m::range);
    return ecf32m::reply(s.memory_by_crz(int(from.value), int(to.value)), s);
  });
}
