// The one reader of the digit texts, amounts and dates that the maker
// libraries take as arguments.  Each maker library states its own forms (how
// many digits, which separators, which date pattern) and answers with its own
// codes; the reading itself, and what counts as a digit, an amount or a real
// calendar date, is the same for all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/printer.h"

namespace common {

// A text argument; a null pointer is an empty text.
std::string_view text(const char *argument);

// ---- Digit texts ----

// Why a digit field could not be read, for libraries that answer each case
// with a code of their own.
enum class Field { ok, empty, not_digits, wrong_width };

struct Number {
  Field status = Field::empty;
  std::int64_t value = 0;
  bool ok() const { return status == Field::ok; }
  explicit operator bool() const { return ok(); }
  std::int64_t operator*() const { return value; }
  std::optional<std::int64_t> optional() const { return ok() ? std::optional(value) : std::nullopt; }
};

// Decimal digits only, between `least` and `most` of them (18 at the most).
Number digits(std::string_view text, std::size_t least, std::size_t most);
// Exactly `width` digits.
inline Number digits(std::string_view text, std::size_t width) { return digits(text, width, width); }
// An optional minus and 1 to `most` digits.
std::optional<std::int64_t> whole(std::string_view text, std::size_t most = 15);
// The digits of a text, in order, the rest left out ("01.00.00" -> "010000").
std::string digits_in(std::string_view text);

// ---- Amounts ----

// A decimal amount as written: an integer part, optionally a decimal
// separator and a fraction.
struct DecimalForm {
  std::string_view separators = ",.";  // the decimal separators taken
  int places = -1;                     // digits after the separator: exactly this many, or -1 any number
  bool places_optional = false;        // the separator and its digits may be left out
  bool grouping = false;               // the integer part in groups of three, by the other separator
  bool sign = false;                   // a leading minus
  std::size_t most = 15;               // digits at the most, integer and fraction together
};

struct Decimal {
  bool negative = false;
  std::string integer, fraction;  // digits only, groups joined
};

// The parts of a decimal text written in `form`; nullopt when it is not.
std::optional<Decimal> decimal(std::string_view text, const DecimalForm &form);
// Its value in units of 10^-places; nullopt when digits other than zeros
// stand beyond them.
std::optional<std::int64_t> scaled(const Decimal &amount, int places);
// Both at once.
std::optional<std::int64_t> decimal(std::string_view text, const DecimalForm &form, int places);

// A value with `from` implied decimals (0 to 3) in units of 10^-to, `to` not
// below `from`: thousandths of "1500" with 2 decimals are 15000.
std::int64_t rescaled(std::int64_t value, int from, int to);

// An item's total before its discount: quantity times unit price (both in
// thousandths) to the nearest cent, an exact half up.
ksim::Cents gross(ksim::Milli quantity, ksim::Milli unit_price);
// A percentage in hundredths (basis points) of an amount in cents, to the
// nearest cent, an exact half up.
ksim::Cents percent_of(ksim::Cents amount, std::int64_t basis_points);

// ---- Dates and times ----

// A date and time written after a pattern, a real calendar date and a time
// of day.  Letters of the pattern: "dd", "mm" the day and month in two
// digits, "d", "m" in one or two; "yy" a year of this century in two digits,
// "yyyy" in four; "hh", "nn", "ss" the hour, minutes and seconds in two.
// Any other character stands for itself.  Fields the pattern leaves out are
// those of 1970-01-01 00:00:00.
std::optional<ksim::DateTime> date_time(std::string_view text, std::string_view pattern);
// The date of a date and time as "YYYY-MM-DD".
std::string iso_date(const ksim::DateTime &when);
// A "YYYY-MM-DD" day as "dd/mm/yyyy"; `none` for any other text.
std::string slashed_date(std::string_view iso, std::string_view none);

// ---- Answers ----

// An unsigned number zero-padded to `width` digits (a negative one keeps
// its minus in front).
std::string padded(std::int64_t value, std::size_t width);
// The text with its digits as question marks: an answer that cannot be read.
std::string garbled(std::string text);
// The number of an injected refusal written with letters around it ("50",
// "E50", "-22"): its digits, when they make a number below 100; else
// `fallback`.
int refusal_number(std::string_view code, int fallback);

}  // namespace common
