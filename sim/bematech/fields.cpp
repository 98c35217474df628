// Argument readers and answer fields of the Bematech-convention calls.
#include "bematech/fields.h"

#include <cstring>

namespace bema {

using common::digits;
using ksim::Outcome;

const ksim::Rate *read_rate(const ksim::Session &session, std::string_view code, Outcome &outcome) {
  static constexpr common::DecimalForm kPercent{",", 2};
  const ksim::Rate *rate = nullptr;
  outcome = Outcome::invalid_argument;
  if (code == "FF" || code == "II" || code == "NN") {
    rate = session.rate_by_code(code);
  } else if (auto index = digits(code, 2)) {
    rate = session.rate_by_index(int(*index));
  } else if (auto basis_points = code.size() == 5 ? common::decimal(code, kPercent, 2) : digits(code, 4).optional()) {
    rate = session.rate_by_percent(int(*basis_points));
  } else {
    return nullptr;
  }
  outcome = rate ? Outcome::ok : Outcome::rate_not_programmed;
  return rate;
}

Outcome start_closing(ksim::Session &session, std::string_view kind, std::string_view type, std::string_view value) {
  bool discount = kind == "D" || kind == "d";
  if (!discount && kind != "A" && kind != "a") return Outcome::invalid_argument;
  if (type == "%") {
    auto basis_points = digits(value, 1, 4);
    if (!basis_points || *basis_points > 10000) return Outcome::invalid_argument;
    return session.start_closing_percent(int(*basis_points), discount);
  }
  auto cents = digits(value, 1, 14);
  if (type != "$" || !cents) return Outcome::invalid_argument;
  return session.start_closing(discount ? -*cents : *cents);
}

void put_text(char *buffer, std::size_t width, std::string_view value) {
  if (value.size() > width) value = value.substr(value.size() - width);
  std::memset(buffer, ' ', width);
  std::memcpy(buffer, value.data(), value.size());
}

void put_number(char *buffer, std::size_t width, std::int64_t value, bool garbled) {
  std::string digits_text = common::padded(value, width);
  put_text(buffer, width, garbled ? common::garbled(digits_text) : digits_text);
}

}  // namespace bema
