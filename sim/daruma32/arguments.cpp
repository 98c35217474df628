// The argument forms the Daruma library reads: regional decimal texts, tax
// codes and payment-form descriptions.
#include <cctype>

#include "daruma32/daruma.h"

namespace daruma {

std::optional<std::int64_t> regional(std::string_view text, int decimals) {
  if (decimals < 0 || decimals > 6) return std::nullopt;
  const common::DecimalForm form{",.", decimals, false, true};
  return common::decimal(text, form, decimals);
}

const ksim::Rate *rate(const ksim::Session &session, std::string_view code) {
  using common::digits;
  if (code == "II" || code == "FF" || code == "NN") return session.rate_by_code(code);
  if (auto index = digits(code, 2)) return session.rate_by_index(int(*index));
  if (code.size() == 3 && (code[0] == 'T' || code[0] == 't'))
    if (auto index = digits(code.substr(1), 2)) return session.rate_by_index(int(*index));
  if (code.size() == 2 && (code[0] == 'T' || code[0] == 't')) {
    char letter = char(std::toupper(static_cast<unsigned char>(code[1])));
    if (letter >= 'A' && letter <= 'P') return session.rate_by_index(letter - 'A' + 1);
  }
  if (auto basis_points = digits(code, 4)) return session.rate_by_percent(int(*basis_points));
  return nullptr;
}

const ksim::PaymentForm *form(const ksim::Session &session, std::string_view name) {
  return name.empty() ? nullptr : session.form_by_name(name);
}

}  // namespace daruma
