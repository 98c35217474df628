// Amount and quantity conversions into the text forms the makers' libraries
// expect.  Products are computed in extended precision and rounded to the
// nearest whole number, an exact half to the even neighbour.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kalpo::frame::amounts {

// value × 1000 and value × 100, rounded.  Non-finite values give 0; values
// beyond the 64-bit range are clamped.
int64_t thousandths(double value);
int64_t hundredths(double value);

// A whole number in decimal: plain, or zero-padded to a minimum width with the
// minus sign ahead of the digits (a longer number keeps all its digits).
std::string plain(int64_t number);
std::string padded(int64_t number, int width);

// Shorthands used by the operations.
inline std::string thousandths_plain(double v) { return plain(thousandths(v)); }
inline std::string thousandths_padded(double v, int width) { return padded(thousandths(v), width); }
inline std::string hundredths_plain(double v) { return plain(hundredths(v)); }
inline std::string hundredths_padded(double v, int width) { return padded(hundredths(v), width); }

// value with exactly `decimals` decimals, a thousands separator every three
// integer digits and the regional decimal separator (1.234,500).
std::string regional(double value, int decimals, const platform::Regional &settings);
std::string regional(double value, int decimals);

// A general number text: up to 15 significant digits, no thousands separator,
// the regional decimal separator for any fraction (1,5; 2; 12,5).
std::string general(long double value, const platform::Regional &settings);
std::string general(long double value);
// value × 100 as a general number text, not rounded to a whole number.
std::string hundredths_general(double value);

}  // namespace kalpo::frame::amounts
