// The forms the driver takes its parameter values in, read by the one reader
// of the maker libraries.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/readers.h"

namespace dllg2 {

// A decimal text: an optional minus, digits, and at most one decimal
// separator ('.' or ',') followed by digits; no thousands separator, no
// exponent; 15 digits at the most.
inline constexpr common::DecimalForm kDecimal{",.", -1, false, false, true, 15};

// Scaled to `decimals` places ("2,99" at 3 gives 2990); nullopt when it is
// not such a text or has non-zero digits beyond those places.
inline std::optional<std::int64_t> fixed_point(std::string_view text, int decimals) {
  return common::decimal(text, kDecimal, decimals);
}

// True when `text` is a decimal text in that form (any number of decimals).
inline bool is_decimal(std::string_view text) { return common::decimal(text, kDecimal).has_value(); }

// A whole number: an optional minus and 1 to 15 digits.
using common::whole;

}  // namespace dllg2
