// The printer's wall clock: civil dates to seconds and back (proleptic
// Gregorian calendar, no time zone).
#include "core/internal.h"

namespace ksim {
namespace {

std::int64_t days_from_civil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  std::int64_t yoe = y - era * 400;
  std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::int64_t from_civil(const DateTime &t) {
  return days_from_civil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

DateTime civil(std::int64_t when) {
  std::int64_t days = when >= 0 ? when / 86400 : (when - 86399) / 86400;
  std::int64_t seconds = when - days * 86400;
  std::int64_t z = days + 719468;
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t doe = z - era * 146097;
  std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  std::int64_t mp = (5 * doy + 2) / 153;
  DateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

std::string date_text(std::int64_t when) {
  DateTime t = civil(when);
  return pad_number(t.year, 4) + "-" + pad_number(t.month, 2) + "-" + pad_number(t.day, 2);
}

std::string date_time_text(std::int64_t when) {
  DateTime t = civil(when);
  return pad_number(t.day, 2) + "/" + pad_number(t.month, 2) + "/" + pad_number(t.year, 4) + " " +
         pad_number(t.hour, 2) + ":" + pad_number(t.minute, 2) + ":" + pad_number(t.second, 2);
}

}  // namespace ksim
