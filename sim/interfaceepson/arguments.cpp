// The argument forms the Epson library reads: fixed-point digit texts, tax
// codes and payment forms.
#include "epson.h"
#include "sim/digits.h"

namespace epson {
namespace {

using ksim::text::all_digits;
constexpr auto number = ksim::text::digits_value;

}  // namespace

std::optional<ksim::Milli> thousandths(std::string_view digits, std::int32_t decimals) {
  if (decimals < 0 || decimals > 3 || digits.size() < 6 || digits.size() > 15 || !all_digits(digits))
    return std::nullopt;
  ksim::Milli value = number(digits);
  for (int i = decimals; i < 3; ++i) value *= 10;
  return value;
}

std::optional<int> whole(std::string_view digits) {
  if (digits.size() > 9 || !all_digits(digits)) return std::nullopt;
  return int(number(digits));
}

const ksim::Rate *rate(const ksim::Session &session, std::string_view code) {
  if (code == "F" || code == "FF") return session.rate_by_code("FF");
  if (code == "I" || code == "II") return session.rate_by_code("II");
  if (code == "N" || code == "NN") return session.rate_by_code("NN");
  if (code.size() == 3 && code[0] == 'T') code.remove_prefix(1);
  return code.size() == 2 && all_digits(code) ? session.rate_by_index(int(number(code))) : nullptr;
}

const ksim::PaymentForm *form(const ksim::Session &session, std::string_view code) {
  if (code.empty()) return nullptr;
  if (auto index = whole(code)) return session.form_by_index(*index);
  return session.form_by_name(code);
}

}  // namespace epson
