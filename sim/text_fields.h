// Readers of the argument forms the makers' commands take: fixed-width digit
// fields and compact dates.  Each reader says what is wrong with a field so
// that a library can answer with its maker's own code for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ksim::fields {

// A text argument; a null pointer is an empty text.
inline std::string_view text(const char *p) { return p ? std::string_view(p) : std::string_view(); }

enum class Field { ok, empty, not_digits, wrong_width };

struct Number {
  Field status = Field::empty;
  std::int64_t value = 0;
  bool ok() const { return status == Field::ok; }
};

// Digits only: exactly `width` of them when width > 0, else 1 to 15.
inline Number number(std::string_view s, std::size_t width = 0) {
  if (s.empty()) return {Field::empty, 0};
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return {Field::not_digits, 0};
    if (value < 100000000000000000) value = value * 10 + (c - '0');
  }
  if (width ? s.size() != width : s.size() > 15) return {Field::wrong_width, 0};
  return {Field::ok, value};
}

inline bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

inline bool real_date(int year, int month, int day) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  return day <= days[month - 1] + (month == 2 && leap(year) ? 1 : 0);
}

inline std::string two_digits(std::int64_t v) { return std::string(1, char('0' + v / 10 % 10)) + char('0' + v % 10); }

// "ddmmyy" at the start of s as "20yy-mm-dd", when it is a calendar date.
inline std::optional<std::string> ddmmyy(std::string_view s) {
  if (s.size() < 6) return std::nullopt;
  const Number dd = number(s.substr(0, 2), 2), mm = number(s.substr(2, 2), 2), yy = number(s.substr(4, 2), 2);
  if (!dd.ok() || !mm.ok() || !yy.ok()) return std::nullopt;
  if (!real_date(2000 + int(yy.value), int(mm.value), int(dd.value))) return std::nullopt;
  return "20" + two_digits(yy.value) + "-" + two_digits(mm.value) + "-" + two_digits(dd.value);
}

// "hhnnss" at the start of s, when it is a time of day.
inline bool hhnnss(std::string_view s) {
  if (s.size() < 6) return false;
  const Number hh = number(s.substr(0, 2), 2), nn = number(s.substr(2, 2), 2), ss = number(s.substr(4, 2), 2);
  return hh.ok() && nn.ok() && ss.ok() && hh.value < 24 && nn.value < 60 && ss.value < 60;
}

// An unsigned counter zero-padded to `width` digits.
inline std::string padded(std::uint64_t v, std::size_t width) {
  std::string s = std::to_string(v);
  return s.size() >= width ? s : std::string(width - s.size(), '0') + s;
}

// An item's gross total in cents: thousandths times thousandths, to the
// nearest cent (an exact half up).
inline std::int64_t gross_cents(std::int64_t quantity_milli, std::int64_t price_milli) {
  return (quantity_milli * price_milli + 5000) / 10000;
}

// A percentage with two decimals (basis points) of an amount in cents, to
// the nearest cent.
inline std::int64_t percent_of(std::int64_t cents, std::int64_t basis_points) {
  return (cents * basis_points + 5000) / 10000;
}

// The error number of an injected refusal code ("50", "-22", "E50"): its
// digits, when they make a number below 100; else `fallback`.
inline int refusal_number(std::string_view code, int fallback) {
  const std::size_t digits = code.find_first_of("0123456789");
  const Number n = number(digits == std::string_view::npos ? std::string_view() : code.substr(digits));
  return n.ok() && n.value < 100 ? int(n.value) : fallback;
}

}  // namespace ksim::fields
