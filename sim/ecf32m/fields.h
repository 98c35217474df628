// How the ecf32m commands read their arguments: tax situations, the item's
// fixed-width fields, payment forms.
#pragma once

#include "ecf32m/answer.h"

namespace ecf32m {

// The item's arguments as VendaItem takes them.
struct ItemFields {
  std::int32_t quantity_kind;  // 'D' thousandths, 'I' whole units
  const char *quantity;        // 6 digits
  const char *price;           // 11 digits, thousandths
  const char *rate;            // "Tnn" by index, "Tnnnn" by percent, "F"/"FF", "I"/"II", "N"/"NN"
  std::int32_t discount_kind;  // '%' percent with two decimals, '&' value in hundredths, '@' none
  const char *discount;        // 4 digits
  const char *unit;            // 1 or 2 characters
  const char *code;            // EAN-13: 13 digits
  std::int32_t code_kind;      // '0' EAN-13
  const char *description;     // 20 characters, blank-filled
  const char *complement;      // an optional second description
};

// Fills the item from them; a refusal when one cannot be read.
Reply read_item(const ksim::Session &session, ksim::Item &item, const ItemFields &fields);

// A payment form by its name (any letter case) or its two-digit index.
const ksim::PaymentForm *form_of(const ksim::Session &session, std::string_view form);

// The number of lines of a text split at CR LF, CR or LF.
std::size_t line_count(std::string_view text);

}  // namespace ecf32m
