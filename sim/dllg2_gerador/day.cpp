#include "dllg2_gerador/day.h"

#include "common/readers.h"
#include "dllg2_gerador/short_date.h"

namespace gerador {

std::optional<std::string> read_day(std::string_view text, std::string_view pattern) {
  const std::optional<ksim::DateTime> day = common::date_time(text, pattern);
  return day ? std::optional(common::iso_date(*day)) : std::nullopt;
}

std::optional<std::string> read_day(std::string_view text) {
  if (auto iso = read_day(text, "yyyy-m-d")) return iso;
  return read_day(text, short_date_pattern());
}

}  // namespace gerador
