#include "dllg2_gerador/day.h"

#include <cstdio>

namespace gerador {
namespace {

bool digits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

int value(std::string_view text) {
  int n = 0;
  for (char c : text) n = n * 10 + (c - '0');
  return n;
}

int days_in(int month, int year) {
  constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

std::optional<std::string> checked(std::string_view d, std::string_view m, std::string_view y) {
  if (!digits(d) || !digits(m) || !digits(y)) return std::nullopt;
  const int day = value(d), month = value(m), year = value(y);
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > days_in(month, year)) return std::nullopt;
  char iso[16];
  std::snprintf(iso, sizeof iso, "%04d-%02d-%02d", year, month, day);
  return std::string(iso);
}

}  // namespace

std::optional<std::string> read_day(std::string_view text) {
  if (text.size() != 10) return std::nullopt;
  if (text[4] == '-' && text[7] == '-') return checked(text.substr(8, 2), text.substr(5, 2), text.substr(0, 4));
  if (digits(text.substr(2, 1)) || text[2] != text[5]) return std::nullopt;
  return checked(text.substr(0, 2), text.substr(3, 2), text.substr(6, 4));
}

}  // namespace gerador
