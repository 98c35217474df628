// Reading parameter values in the forms the driver accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dllg2 {

// A decimal text: an optional minus, digits, and at most one decimal
// separator ('.' or ',') followed by digits; no thousands separator, no
// exponent.  Scaled to `decimals` places ("2,99" at 3 gives 2990); nullopt
// when it is not such a text, has more than 15 digits or has non-zero digits
// beyond those places.
std::optional<std::int64_t> fixed_point(std::string_view text, int decimals);

// True when `text` is a decimal text in that form (any number of decimals).
bool is_decimal(std::string_view text);

// A whole number: an optional minus and 1 to 15 digits.
std::optional<std::int64_t> whole(std::string_view text);

// Digits only (1 to `max` of them).
bool all_digits(std::string_view text, std::size_t max);

}  // namespace dllg2
