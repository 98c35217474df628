// Digit texts as the makers' libraries read them from their arguments.
#pragma once

#include <cctype>
#include <cstdint>
#include <string_view>

namespace ksim::text {

// One or more decimal digits and nothing else.
inline bool all_digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// The value of a text of digits (checked by all_digits, 18 digits at most).
inline std::int64_t digits_value(std::string_view text) {
  std::int64_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

}  // namespace ksim::text
