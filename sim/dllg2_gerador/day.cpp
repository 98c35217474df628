#include "dllg2_gerador/day.h"

#include <cstdio>

#include "dllg2_gerador/short_date.h"

namespace gerador {
namespace {

struct Date {
  int day = 0, month = 0, year = 0;
};

int days_in(int month, int year) {
  constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

// `least` to `most` digits from `at`; -1 when fewer.
int digits(std::string_view text, std::size_t &at, std::size_t least, std::size_t most) {
  int value = 0;
  std::size_t count = 0;
  while (count < most && at < text.size() && text[at] >= '0' && text[at] <= '9') {
    value = value * 10 + (text[at++] - '0');
    ++count;
  }
  return count >= least ? value : -1;
}

bool read_field(char field, std::string_view text, std::size_t &at, Date &date) {
  switch (field) {
    case 'd': return (date.day = digits(text, at, 1, 2)) >= 0;
    case 'm': return (date.month = digits(text, at, 1, 2)) >= 0;
    case 'y': {
      const int year = digits(text, at, 2, 2);
      date.year = year < 0 ? -1 : year < 69 ? 2000 + year : 1900 + year;
      return year >= 0;
    }
    case 'Y': return (date.year = digits(text, at, 4, 4)) >= 0;
    default: return at < text.size() && text[at++] == field;
  }
}

}  // namespace

std::optional<std::string> read_day(std::string_view text, std::string_view pattern) {
  Date date;
  std::size_t at = 0;
  for (char field : pattern)
    if (!read_field(field, text, at, date)) return std::nullopt;
  if (at != text.size() || date.year < 1900 || date.month < 1 || date.month > 12 || date.day < 1 ||
      date.day > days_in(date.month, date.year))
    return std::nullopt;
  char iso[40];
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", date.year, date.month, date.day);
  return std::string(iso);
}

std::optional<std::string> read_day(std::string_view text) {
  if (auto iso = read_day(text, "Y-m-d")) return iso;
  return read_day(text, short_date_pattern());
}

}  // namespace gerador
