// The argument forms the Daruma library reads: regional decimal texts, tax
// codes and payment-form descriptions.
#include <cctype>

#include "daruma.h"
#include "sim/digits.h"

namespace daruma {
namespace {

using ksim::text::all_digits;
constexpr auto number = ksim::text::digits_value;

// The integer part: plain digits, or groups of three after a first group of
// one to three, all separated by the same character (not the decimal one).
std::optional<std::int64_t> whole(std::string_view text, char decimal_separator) {
  std::size_t cut = text.find_first_not_of("0123456789");
  if (cut == std::string_view::npos)
    return all_digits(text) && text.size() <= 15 ? std::optional(number(text)) : std::nullopt;
  char separator = text[cut];
  if (separator == decimal_separator || cut == 0 || cut > 3) return std::nullopt;
  std::string plain(text.substr(0, cut));
  for (std::size_t at = cut; at < text.size(); at += 4) {
    std::string_view group = text.substr(at + 1, 3);
    if (text[at] != separator || group.size() != 3 || !all_digits(group)) return std::nullopt;
    plain += group;
  }
  return plain.size() <= 15 ? std::optional(number(plain)) : std::nullopt;
}

}  // namespace

std::optional<std::int64_t> regional(std::string_view text, int decimals) {
  if (decimals < 0 || decimals > 6) return std::nullopt;
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  if (decimals == 0) {
    auto value = whole(text, '\0');
    return value ? std::optional(*value) : std::nullopt;
  }
  if (text.size() < std::size_t(decimals) + 2) return std::nullopt;
  std::size_t point = text.size() - decimals - 1;
  char separator = text[point];
  std::string_view fraction = text.substr(point + 1);
  if ((separator != ',' && separator != '.') || !all_digits(fraction)) return std::nullopt;
  auto value = whole(text.substr(0, point), separator);
  return value ? std::optional(*value * scale + number(fraction)) : std::nullopt;
}

const ksim::Rate *rate(const ksim::Session &session, std::string_view code) {
  if (code == "II" || code == "FF" || code == "NN") return session.rate_by_code(code);
  if (code.size() == 2 && all_digits(code)) return session.rate_by_index(int(number(code)));
  if (code.size() == 3 && (code[0] == 'T' || code[0] == 't') && all_digits(code.substr(1)))
    return session.rate_by_index(int(number(code.substr(1))));
  if (code.size() == 2 && (code[0] == 'T' || code[0] == 't')) {
    char letter = char(std::toupper(static_cast<unsigned char>(code[1])));
    if (letter >= 'A' && letter <= 'P') return session.rate_by_index(letter - 'A' + 1);
  }
  if (code.size() == 4 && all_digits(code)) return session.rate_by_percent(int(number(code)));
  return nullptr;
}

const ksim::PaymentForm *form(const ksim::Session &session, std::string_view name) {
  return name.empty() ? nullptr : session.form_by_name(name);
}

}  // namespace daruma
