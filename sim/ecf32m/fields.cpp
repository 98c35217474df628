#include "ecf32m/fields.h"

namespace ecf32m {
namespace {

using common::digits;
using common::text;

// The tax situation: "T" with a rate index (2 digits) or percent (4),
// "F" substitution, "I" exempt, "N" non-incidence (also doubled).
Reply read_rate(const ksim::Session &session, std::string_view code, std::string &rate) {
  if (code.empty() || std::string_view("TFIN").find(code[0]) == std::string_view::npos) return refuse(tax_letter);
  const ksim::Rate *found = nullptr;
  if (code[0] != 'T') {
    if (code.size() <= 2 && (code.size() == 1 || code[1] == code[0]))
      found = session.rate_by_code(std::string(2, code[0]));
  } else if (const common::Number n = digits(code.substr(1), 1, 15); n.ok() && code.size() == 3) {
    found = session.rate_by_index(int(n.value));
  } else if (n.ok() && code.size() == 5) {
    found = session.rate_by_percent(int(n.value));
  }
  if (!found) return refuse(rate_not_programmed);
  rate = found->code;
  return Reply{};
}

Reply read_description(ksim::Item &item, std::string_view description, std::string_view complement) {
  if (description.size() > 20 || complement.size() > 40) return refuse(too_long);
  const std::size_t end = description.find_last_not_of(' ');
  if (description.size() != 20 || end == std::string_view::npos) return refuse(syntax);
  item.description = std::string(description.substr(0, end + 1));
  if (!complement.empty()) item.description += " " + std::string(complement);
  return Reply{};
}

Reply read_code(ksim::Item &item, std::int32_t kind, std::string_view code) {
  if (kind != '0') return refuse(syntax);
  const common::Number n = digits(code, 13);
  if (!n.ok()) return refuse(field_error(n));
  item.code = std::string(code);
  return Reply{};
}

Reply read_amounts(ksim::Item &item, const ItemFields &f) {
  if (f.quantity_kind != 'D' && f.quantity_kind != 'I') return refuse(syntax);
  if (f.discount_kind != '%' && f.discount_kind != '&' && f.discount_kind != '@') return refuse(sign_field);
  const common::Number quantity = digits(text(f.quantity), 6), price = digits(text(f.price), 11),
                       discount = digits(text(f.discount), 4);
  for (const common::Number *n : {&quantity, &price, &discount})
    if (!n->ok()) return refuse(field_error(*n));
  if (quantity.value == 0 || price.value == 0) return refuse(syntax);
  item.quantity = f.quantity_kind == 'D' ? quantity.value : quantity.value * 1000;
  item.unit_price = price.value;
  const ksim::Cents gross = common::gross(item.quantity, item.unit_price);
  item.discount = f.discount_kind == '&'   ? discount.value
                  : f.discount_kind == '%' ? common::percent_of(gross, discount.value)
                                           : 0;
  return item.discount > 0 && item.discount >= gross ? refuse(range) : Reply{};
}

}  // namespace

Reply read_item(const ksim::Session &session, ksim::Item &item, const ItemFields &f) {
  const std::string_view unit = text(f.unit);
  if (unit.empty()) return refuse(syntax);
  if (unit.size() > 2) return refuse(too_long);
  item.unit = std::string(unit);
  for (const Reply &r :
       {read_rate(session, text(f.rate), item.rate), read_amounts(item, f), read_code(item, f.code_kind, text(f.code)),
        read_description(item, text(f.description), text(f.complement))})
    if (r.error >= 0) return r;
  return Reply{};
}

const ksim::PaymentForm *form_of(const ksim::Session &session, std::string_view form) {
  const common::Number index = digits(form, 2);
  return index.ok() ? session.form_by_index(int(index.value)) : session.form_by_name(form);
}

std::size_t line_count(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    if ((text[i] == '\r' || text[i] == '\n') && i + 1 + crlf < text.size()) ++lines;
    i += crlf;
  }
  return lines;
}

}  // namespace ecf32m
