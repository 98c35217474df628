// The argument forms the Epson library reads: fixed-point digit texts, tax
// codes and payment forms.
#include "interfaceepson/epson.h"

namespace epson {

using common::digits;

std::optional<ksim::Milli> thousandths(std::string_view text, std::int32_t decimals) {
  const common::Number value = digits(text, 6, 15);
  if (decimals < 0 || decimals > 3 || !value) return std::nullopt;
  return common::rescaled(*value, decimals, 3);
}

std::optional<int> whole(std::string_view text) {
  const common::Number value = digits(text, 1, 9);
  return value ? std::optional(int(*value)) : std::nullopt;
}

const ksim::Rate *rate(const ksim::Session &session, std::string_view code) {
  if (code == "F" || code == "FF") return session.rate_by_code("FF");
  if (code == "I" || code == "II") return session.rate_by_code("II");
  if (code == "N" || code == "NN") return session.rate_by_code("NN");
  if (code.size() == 3 && code[0] == 'T') code.remove_prefix(1);
  const common::Number index = digits(code, 2);
  return index ? session.rate_by_index(int(*index)) : nullptr;
}

const ksim::PaymentForm *form(const ksim::Session &session, std::string_view code) {
  if (code.empty()) return nullptr;
  if (auto index = whole(code)) return session.form_by_index(*index);
  return session.form_by_name(code);
}

}  // namespace epson
