// The day's reports: the X reading and the Z reduction.
#include "fs345_32/answer.h"
#include "fs345_32/fields.h"

using ksim::Session;

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_LeituraX(std::int32_t modo) {
  return fs345::run("DAR_LeituraX", modo, [](Session &s) { return fs345::reply(s.x_reading(), s); });
}

// The reduction takes the date and time of the workstation, "ddmmyyhhnnss";
// a date before the last one in fiscal memory is refused.
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL DAR_ReducaoZ(const char *data_hora, std::int32_t modo) {
  return fs345::run("DAR_ReducaoZ", modo, [&](Session &s) {
    const std::string_view text = common::text(data_hora);
    const common::Number digits = common::digits(text, 12);
    if (!digits.ok()) return fs345::refuse(fs345::field_error(digits));
    const std::optional<ksim::DateTime> when = common::date_time(text, "ddmmyyhhnnss");
    if (!when) return fs345::refuse(fs345::syntax);
    const auto &memory = s.state().fiscal_memory;
    if (!memory.empty() && common::iso_date(*when) < memory.back().date)
      return fs345::refuse(fs345::date_before_memory);
    return fs345::reply(s.z_reduction(), s);
  });
}
