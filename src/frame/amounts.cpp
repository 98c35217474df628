#include "frame/amounts.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kalpo::frame::amounts {
namespace {

int64_t scaled(double value, long double factor) {
  if (!std::isfinite(value)) return 0;
  long double product = std::nearbyintl(static_cast<long double>(value) * factor);
  constexpr long double kMax = 9.2e18L;
  if (product > kMax) return static_cast<int64_t>(kMax);
  if (product < -kMax) return static_cast<int64_t>(-kMax);
  return static_cast<int64_t>(product);
}

// The decimal digits of a magnitude, written at the start of buffer; the end.
char *digits_of(uint64_t magnitude, char (&buffer)[24]) {
  return std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
}

// The integer part of a magnitude beyond 64 bits, as a double writes it;
// the end of the digits in buffer.
char *huge_digits(long double whole, char (&buffer)[400]) {
  return std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(whole), std::chars_format::fixed, 0).ptr;
}

// The general form of a finite value whose magnitude lies between 1e-4 and
// 1e15 (where the general form has no exponent), computed without the C
// library's formatting: its fifteen significant digits as a whole number
// N = magnitude × 10^(14 - x), written without an exponent and without
// trailing zeros.  The product is exact to 2^-14, so the C library decides
// (nullptr) when its fraction lies within 1e-4 of a half, or when the scale
// is not a power of ten that a long double holds exactly.
char *general_fixed_form(long double value, char (&buffer)[64]) {
  // 10^0 to 10^20, each exact in a long double.
  static constexpr long double kPowers[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L, 1e10L,
                                            1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L};
  const long double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4L && magnitude < 1e15L)) return nullptr;
  // x: the decimal exponent, estimated and then corrected from the product.
  int x = -4;
  while (x < 14 && magnitude * 1e4L >= kPowers[x + 5]) ++x;
  long double product = 0;
  for (int tries = 0; tries < 3; ++tries) {
    if (x < -4 || x > 14) return nullptr;
    product = magnitude * kPowers[14 - x];
    if (product < 1e14L - 1) {
      --x;
    } else if (product >= 1e15L) {
      ++x;
    } else {
      break;
    }
  }
  const long double fraction = product - std::floor(product);
  if (std::fabs(fraction - 0.5L) < 1e-4L || product < 1e14L - 1 || product >= 1e15L) return nullptr;
  auto digits_value = static_cast<uint64_t>(std::floor(product)) + (fraction > 0.5L ? 1 : 0);
  if (digits_value < 100'000'000'000'000u) return nullptr;  // below 10^14 - 0.5
  if (digits_value == 1'000'000'000'000'000u) {
    digits_value /= 10;
    if (++x > 14) return nullptr;
  }
  char digits[24];
  const char *digits_end = digits_of(digits_value, digits);  // fifteen digits
  while (digits_end > digits + 1 && digits_end[-1] == '0' && digits_end - digits > x + 1) --digits_end;
  char *out = buffer;
  if (value < 0) *out++ = '-';
  const char *d = digits;
  if (x < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > x; --i) *out++ = '0';
  } else {
    for (int i = 0; i <= x; ++i) *out++ = *d++;
    if (d < digits_end) *out++ = '.';
  }
  while (d < digits_end) *out++ = *d++;
  return out;
}

// The general form (%.15LG) of a finite value, in the C locale's spelling but
// a lower-case e before any exponent; the end of the text in buffer.
char *general_c_form(long double value, char (&buffer)[64]) {
  if (char *end = general_fixed_form(value, buffer)) return end;
  // One place kept for the terminating NUL.
  return std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::general, 15).ptr;
}

// Appends a magnitude's digits zero-padded to width (at most 64).
void append_padded(std::string &out, uint64_t magnitude, int width) {
  char buffer[24];
  const char *end = digits_of(magnitude, buffer);
  const auto size = static_cast<int>(end - buffer);
  if (width > 64) width = 64;
  if (size < width) out.append(static_cast<std::size_t>(width - size), '0');
  out.append(buffer, static_cast<std::size_t>(size));
}

uint64_t magnitude_of(int64_t n) { return n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n); }

}  // namespace

int64_t thousandths(double value) { return scaled(value, 1000.0L); }
int64_t hundredths(double value) { return scaled(value, 100.0L); }

std::string plain(int64_t number) {
  char buffer[24];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

std::string padded(int64_t number, int width) {
  std::string out;
  if (number < 0) out += '-';
  append_padded(out, magnitude_of(number), width);
  return out;
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
  char small[24];
  char huge[400];
  const bool fits = whole < 1.8e19L;
  const char *begin = fits ? small : huge;
  const char *end = fits ? digits_of(static_cast<uint64_t>(whole), small) : huge_digits(whole, huge);
  const auto size = static_cast<std::size_t>(end - begin);
  std::string out;
  out.reserve(size + size / 3 * settings.thousands.size() + settings.decimal.size() + 17);
  if (negative && (whole > 0 || fraction > 0)) out += '-';
  for (std::size_t i = 0; i < size; ++i) {
    if (i > 0 && (size - i) % 3 == 0) out += settings.thousands;
    out += begin[i];
  }
  if (decimals > 0) {
    // The fraction is a whole number below 10^decimals, at most 10^15.
    out += settings.decimal;
    append_padded(out, static_cast<uint64_t>(fraction), decimals);
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
  char buffer[64];
  *general_c_form(value, buffer) = '\0';
  std::string out;
  for (const char *p = buffer; *p; ++p) {
    if (*p == '.') {
      out += settings.decimal;
    } else if (*p == 'e') {
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

}  // namespace kalpo::frame::amounts
