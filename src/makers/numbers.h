// Whole decimal numbers read from printer answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kalpo::analysis {

// An optional sign followed by one or more decimal digits and nothing else;
// nothing when the text is not such a number or does not fit 32 bits.
inline std::optional<int32_t> decimal_number(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  int64_t value = 0;
  for (char c : text) {
    value = value * 10 + (c - '0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

// The text without the blanks (spaces and control characters) at its ends.
inline std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace kalpo::analysis
