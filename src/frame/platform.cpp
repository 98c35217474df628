#include "frame/platform.h"

#include "frame/ascii.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kalpo::platform {

Platform &real();  // defined by the platform's own file

namespace {
Platform *installed = nullptr;

std::string_view trim(std::string_view s) {
  const char *blanks = " \t\r\n";
  auto b = s.find_first_not_of(blanks);
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}
}  // namespace

Platform &get() { return installed ? *installed : real(); }
void install(Platform *platform) { installed = platform; }

int32_t profile_int(std::string_view file, std::string_view section, std::string_view key, int32_t fallback) {
  // A value that is absent reads back as the marker, which is not a number.
  std::string text(trim(get().profile_string(file, section, key, "")));
  if (text.empty()) return fallback;
  const char *first = text.data() + (text[0] == '+' ? 1 : 0);
  int32_t value = 0;
  auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return fallback;
  return value;
}

bool ini_lookup(std::string_view contents, std::string_view section, std::string_view key, std::string &value) {
  bool in_section = false;
  std::size_t pos = 0;
  while (pos <= contents.size()) {
    std::size_t eol = contents.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = contents.size();
    std::string_view line = trim(contents.substr(pos, eol - pos));
    pos = eol + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      auto close = line.find(']');
      in_section = close != std::string_view::npos && ascii::iequals(trim(line.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    auto eq = line.find('=');
    if (eq == std::string_view::npos || !ascii::iequals(trim(line.substr(0, eq)), key)) continue;
    std::string_view v = trim(line.substr(eq + 1));
    // The profile functions drop one pair of surrounding quotes.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    value.assign(v);
    return true;
  }
  return false;
}

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
