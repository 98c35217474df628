// Dates as the workstation writes them.
#include "platform/dates.h"

#include <cmath>

namespace kalpo::platform {

std::string format_date(const DateTime &when, std::string_view picture) {
  std::string out;
  auto two = [](int n) {
    std::string s = std::to_string(n % 100);
    return s.size() < 2 ? "0" + s : s;
  };
  for (std::size_t i = 0; i < picture.size();) {
    char c = picture[i];
    std::size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    if (c == 'd' && run <= 2) {
      out += run == 2 ? two(when.day) : std::to_string(when.day);
    } else if (c == 'M' && run <= 2) {
      out += run == 2 ? two(when.month) : std::to_string(when.month);
    } else if (c == 'y') {
      if (run <= 2) {
        out += two(when.year);
      } else {
        std::string y = std::to_string(when.year);
        out += std::string(y.size() < 4 ? 4 - y.size() : 0, '0') + y;
      }
    } else {
      out.append(run, c);
    }
    i += run;
  }
  return out;
}

DateTime from_day_count(double days) {
  DateTime dt;
  if (!std::isfinite(days) || days > 2958465.0 || days < -693593.0) return dt;  // outside 0001..9999
  double whole = std::floor(days);
  double fraction = days - whole;
  // A negative day count still counts its fraction forward from midnight of
  // its own day in the date-time convention; the date is what matters here.
  if (days < 0 && fraction != 0) whole = std::ceil(days);
  // Civil date from days relative to 1970-01-01 (day 25569 here).
  long long z = static_cast<long long>(whole) - 25569 + 719468;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  dt.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  dt.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  dt.year = static_cast<int>(yoe + era * 400 + (dt.month <= 2 ? 1 : 0));
  long long secs = std::llround(std::fabs(fraction) * 86400.0);
  if (secs >= 86400) secs = 86399;
  dt.hour = static_cast<int>(secs / 3600);
  dt.minute = static_cast<int>(secs / 60 % 60);
  dt.second = static_cast<int>(secs % 60);
  return dt;
}

}  // namespace kalpo::platform
