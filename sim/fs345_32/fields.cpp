#include "fs345_32/fields.h"

namespace fs345 {
namespace {

using common::digits;
using common::Field;
using common::text;

const ksim::Rate *rate_of(const ksim::Session &session, std::string_view code) {
  if (code == "FF" || code == "II" || code == "NN") return session.rate_by_code(code);
  if (code.size() == 3 && code[0] == 'T') code.remove_prefix(1);
  const common::Number index = digits(code, 2);
  return index.ok() ? session.rate_by_index(int(index.value)) : nullptr;
}

}  // namespace

int field_error(const common::Number &n) {
  switch (n.status) {
    case Field::empty: return blank_field;
    case Field::not_digits: return not_digit;
    default: return syntax;
  }
}

Reply read_item(const ksim::Session &session, ksim::Item &item, const ItemFields &f) {
  if (text(f.rate).empty() || item.description.empty() || item.unit.empty()) return refuse(blank_field);
  const ksim::Rate *rate = rate_of(session, text(f.rate));
  if (!rate) return refuse(rate_not_defined);
  if (f.discount_kind != '0' && f.discount_kind != '1') return refuse(invalid_character);
  const common::Number discount = digits(text(f.discount), 4), price = digits(text(f.price), 10),
                       quantity = digits(text(f.quantity), 8);
  for (const common::Number *n : {&discount, &price, &quantity})
    if (!n->ok()) return refuse(field_error(*n));
  if (price.value == 0 || quantity.value == 0) return refuse(zero_field);
  const ksim::Cents total = common::gross(quantity.value, price.value);
  const ksim::Cents off = f.discount_kind == '0' ? discount.value : common::percent_of(total, discount.value);
  if (off >= total && off > 0) return refuse(24);  // "limited to 100%"
  item.rate = rate->code;
  item.quantity = quantity.value;
  item.unit_price = price.value;
  item.discount = off;
  return Reply{};
}

Reply read_form(const ksim::Session &session, char initial, int error, const ksim::PaymentForm *&form) {
  if (initial == '\0' || initial == ' ') return refuse(blank_field);
  form = session.form_by_initial(initial);
  return form ? Reply{} : refuse(error);
}

std::string document_state(const ksim::Session &session) {
  const ksim::State &state = session.state();
  std::size_t items = 0;
  char document = '2';
  switch (state.open) {
    case ksim::Document::coupon:
      document = '1';
      items = state.coupon ? state.coupon->items.size() : 0;
      break;
    case ksim::Document::voucher: document = '3'; break;
    case ksim::Document::report: document = '4'; break;
    case ksim::Document::none: break;
  }
  return common::padded(items, 5) + document + coo_field(session);
}

}  // namespace fs345
