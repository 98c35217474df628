// Reading the arguments of the Bematech-convention calls and writing the
// fixed-width answer fields they fill.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/readers.h"
#include "core/printer.h"

namespace bema {

// A tax rate: "01".."16" by index, "1800" or "18,00" by percentage, "FF",
// "II", "NN".  Sets `outcome` to invalid_argument for a malformed code and to
// rate_not_programmed for one the printer does not have.
const ksim::Rate *read_rate(const ksim::Session &session, std::string_view code, ksim::Outcome &outcome);

// A discount or surcharge on the subtotal: "D"/"A" (either case) with "$"
// (hundredths, up to 14 digits) or "%" (hundredths of a percent, up to 4).
ksim::Outcome start_closing(ksim::Session &session, std::string_view kind, std::string_view type,
                            std::string_view value);

// Fixed-width answer fields.  A field is written over exactly `width`
// characters of the caller's buffer, blank-filled on the right, with no
// terminating zero; a longer text keeps its last `width` characters.  With
// `garbled`, a numeric field comes out as question marks.
void put_text(char *buffer, std::size_t width, std::string_view value);
void put_number(char *buffer, std::size_t width, std::int64_t value, bool garbled);

}  // namespace bema
