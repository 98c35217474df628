// Numbers in texts, money and rounding.
#include "core/internal.h"

namespace ksim {

std::string number(std::int64_t value) { return std::to_string(value); }

bool parse_int(std::string_view text, std::int64_t &value) {
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  std::int64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  value = negative ? -result : result;
  return true;
}

std::string pad_number(std::int64_t value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

std::string lower_ascii(std::string_view text) {
  std::string result(text);
  for (char &c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

// Quantity and unit price in thousandths: their product is in millionths of
// a real, ten thousand to the cent; an exact half goes up.
Cents round_half_up(Milli quantity, Milli unit_price) {
  std::int64_t product = quantity * unit_price;
  return product >= 0 ? (product + 5000) / 10000 : -((-product + 5000) / 10000);
}

std::string cents_text(Cents amount, char decimal_separator, int decimals) {
  bool negative = amount < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(amount) : static_cast<std::uint64_t>(amount);
  // Cents to the asked number of decimals: more decimals pad with zeros,
  // fewer (one or none) round half up.
  for (int d = decimals; d > 2; --d) magnitude *= 10;
  if (decimals < 2) {
    std::uint64_t unit = decimals == 1 ? 10 : 100;
    magnitude = (magnitude + unit / 2) / unit;
  }
  std::string digits = std::to_string(magnitude);
  if (decimals > 0) {
    if (digits.size() <= static_cast<std::size_t>(decimals)) digits.insert(0, decimals + 1 - digits.size(), '0');
    digits.insert(digits.size() - decimals, 1, decimal_separator);
  }
  return negative ? "-" + digits : digits;
}

std::string money(Cents amount) {
  std::string plain = cents_text(amount < 0 ? -amount : amount, ',', 2);
  std::size_t comma = plain.find(',');
  for (std::size_t i = comma; i > 3; i -= 3) plain.insert(i - 3, 1, '.');
  return amount < 0 ? "-" + plain : plain;
}

std::string percent(int basis_points) { return cents_text(basis_points, ',', 2) + "%"; }

// A value in thousandths with a decimal comma: 1500 -> "1,500".
std::string quantity_text(Milli quantity) {
  std::string digits = pad_number(quantity < 0 ? -quantity : quantity, 4);
  digits.insert(digits.size() - 3, 1, ',');
  return quantity < 0 ? "-" + digits : digits;
}

}  // namespace ksim
