#include "frame/amounts.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kalpo::amounts {
namespace {

int64_t scaled(double value, long double factor) {
  if (!std::isfinite(value)) return 0;
  long double product = std::nearbyintl(static_cast<long double>(value) * factor);
  constexpr long double kMax = 9.2e18L;
  if (product > kMax) return static_cast<int64_t>(kMax);
  if (product < -kMax) return static_cast<int64_t>(-kMax);
  return static_cast<int64_t>(product);
}

std::string digits_of(uint64_t magnitude) { return std::to_string(magnitude); }

// The integer part of a magnitude beyond 64 bits, as a double writes it.
std::string huge_digits(long double whole) {
  char buffer[400];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(whole), std::chars_format::fixed, 0).ptr;
  return std::string(buffer, end);
}

// The general form (%.15LG) of a finite value, in the C locale's spelling:
// a point before any fraction, an upper-case E before any exponent.
std::string general_c_form(long double value) {
  char buffer[64];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  std::string out(buffer, end);
  for (char &c : out) {
    if (c == 'e') c = 'E';
  }
  return out;
}

uint64_t magnitude_of(int64_t n) { return n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n); }

}  // namespace

int64_t thousandths(double value) { return scaled(value, 1000.0L); }
int64_t hundredths(double value) { return scaled(value, 100.0L); }

std::string plain(int64_t number) { return std::to_string(number); }

std::string padded(int64_t number, int width) {
  std::string digits = digits_of(magnitude_of(number));
  if (width > 64) width = 64;
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return number < 0 ? "-" + digits : digits;
}

std::string regional(double value, int decimals, const platform::Regional &settings) {
  if (decimals < 0) decimals = 0;
  if (decimals > 15) decimals = 15;
  if (!std::isfinite(value)) value = 0;
  long double scale = std::pow(10.0L, decimals);
  long double units = std::nearbyintl(static_cast<long double>(value) * scale);
  bool negative = units < 0;
  units = std::fabs(units);
  long double whole = std::floor(units / scale);
  long double fraction = units - whole * scale;
  // Beyond the 64 bits of the product the fraction is lost in any case.
  if (fraction < 0 || fraction >= scale) fraction = 0;
  std::string integer = whole < 1.8e19L ? digits_of(static_cast<uint64_t>(whole)) : huge_digits(whole);
  std::string grouped;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) grouped += settings.thousands;
    grouped += integer[i];
  }
  std::string out = negative && (whole > 0 || fraction > 0) ? "-" + grouped : grouped;
  if (decimals > 0) {
    // The fraction is a whole number below 10^decimals, at most 10^15.
    out += settings.decimal + padded(static_cast<int64_t>(fraction), decimals);
  }
  return out;
}

std::string regional(double value, int decimals) { return regional(value, decimals, platform::get().regional()); }

std::string general(long double value, const platform::Regional &settings) {
  // Zero, negative zero included, is written "0".
  if (!std::isfinite(value) || value == 0) value = 0;
  // Formatted from the long double itself: an extended product such as
  // value × 100 rounded first to a double could round differently at the
  // fifteenth digit.
  const std::string c_form = general_c_form(value);
  std::string out;
  for (const char *p = c_form.c_str(); *p; ++p) {
    if (*p == '.') {
      out += settings.decimal;
    } else if (*p == 'E') {
      // 1E-5 rather than 1E-05, without a plus sign.
      out += 'E';
      ++p;
      if (*p == '-')
        out += *p++;
      else if (*p == '+')
        ++p;
      while (*p == '0' && p[1]) ++p;
      out += p;
      break;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string general(long double value) { return general(value, platform::get().regional()); }

std::string hundredths_general(double value) { return general(static_cast<long double>(value) * 100.0L); }

}  // namespace kalpo::amounts
