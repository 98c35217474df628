// How the fs345_32 commands read their arguments: tax codes, fixed-width
// amounts in thousandths and hundredths, payment forms by their initial.
#pragma once

#include "fs345_32/answer.h"

namespace fs345 {

// The error number for a numeric field that cannot be read.
int field_error(const common::Number &n);

// The item's numeric arguments as the command takes them: tax code ("01" to
// "16", "T01" to "T16", "FF", "II", "NN"), the discount kind ('0' value in
// hundredths, '1' percent with two decimals) and its four digits, the unit
// price in thousandths (10 digits) and the quantity in thousandths (8).
struct ItemFields {
  const char *rate;
  std::int32_t discount_kind;
  const char *discount, *price, *quantity;
};

// Fills the item from them; a refusal when one cannot be read.
Reply read_item(const ksim::Session &session, ksim::Item &item, const ItemFields &fields);

// The payment form programmed under this initial; a refusal with `error`
// when there is none.
Reply read_form(const ksim::Session &session, char initial, int error, const ksim::PaymentForm *&form);

// The document state answer: open items (5 digits), the state character
// ('1' coupon, '2' no document, '3' voucher, '4' report) and the COO.
std::string document_state(const ksim::Session &session);

}  // namespace fs345
