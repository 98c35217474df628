// Reading the arguments of the Bematech-convention calls and writing the
// fixed-width answer fields they fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/printer.h"

namespace bema {

// A text argument; a null pointer reads as an empty text.
std::string_view text(const char *argument);

// A whole number written with decimal digits only, between min_digits and
// max_digits of them.
std::optional<std::int64_t> digits(std::string_view text, std::size_t min_digits, std::size_t max_digits);

// A tax rate: "01".."16" by index, "1800" or "18,00" by percentage, "FF",
// "II", "NN".  Sets `outcome` to invalid_argument for a malformed code and to
// rate_not_programmed for one the printer does not have.
const ksim::Rate *read_rate(const ksim::Session &session, std::string_view code, ksim::Outcome &outcome);

// A discount or surcharge on the subtotal: "D"/"A" (either case) with "$"
// (hundredths, up to 14 digits) or "%" (hundredths of a percent, up to 4).
ksim::Outcome start_closing(ksim::Session &session, std::string_view kind, std::string_view type,
                            std::string_view value);

// The item total before any discount: quantity times unit price, half up
// to the cent.
ksim::Cents gross(ksim::Milli quantity, ksim::Milli unit_price);

// A date "dd/mm/yyyy" or "dd/mm/yy" as "YYYY-MM-DD".
std::optional<std::string> read_date(std::string_view text);

// The printer time for a date "dd/mm/yy" and a time "hh:mm:ss".
std::optional<std::int64_t> clock_time(std::string_view date, std::string_view time);

// Fixed-width answer fields.  A field is written over exactly `width`
// characters of the caller's buffer, blank-filled on the right, with no
// terminating zero; a longer text keeps its last `width` characters.  With
// `garbled`, a numeric field comes out as question marks.
void put_text(char *buffer, std::size_t width, std::string_view value);
std::string zero_padded(std::int64_t value, std::size_t width);
void put_number(char *buffer, std::size_t width, std::int64_t value, bool garbled);
// The text with its digits as question marks: an answer that cannot be read.
std::string garble(std::string text);

}  // namespace bema
