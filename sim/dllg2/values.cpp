#include "dllg2/values.h"

#include <string>

namespace dllg2 {
namespace {

constexpr std::size_t max_digits = 15;

struct Split {
  bool negative = false;
  std::string_view integer, fraction;
};

std::optional<Split> split_decimal(std::string_view text) {
  Split s;
  if (!text.empty() && text.front() == '-') {
    s.negative = true;
    text.remove_prefix(1);
  }
  const auto sep = text.find_first_of(".,");
  s.integer = text.substr(0, sep);
  if (sep != std::string_view::npos) {
    s.fraction = text.substr(sep + 1);
    if (s.fraction.empty()) return std::nullopt;
  }
  if (s.integer.empty() || s.integer.size() + s.fraction.size() > max_digits) return std::nullopt;
  for (std::string_view part : {s.integer, s.fraction})
    for (char c : part)
      if (c < '0' || c > '9') return std::nullopt;
  return s;
}

}  // namespace

bool all_digits(std::string_view text, std::size_t max) {
  if (text.empty() || text.size() > max) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool is_decimal(std::string_view text) { return split_decimal(text).has_value(); }

std::optional<std::int64_t> fixed_point(std::string_view text, int decimals) {
  const auto s = split_decimal(text);
  if (!s) return std::nullopt;
  std::int64_t value = 0;
  for (char c : s->integer) value = value * 10 + (c - '0');
  for (int i = 0; i < decimals; ++i)
    value = value * 10 + (static_cast<std::size_t>(i) < s->fraction.size() ? s->fraction[i] - '0' : 0);
  for (std::size_t i = decimals; i < s->fraction.size(); ++i)
    if (s->fraction[i] != '0') return std::nullopt;
  return s->negative ? -value : value;
}

std::optional<std::int64_t> whole(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (!all_digits(text, max_digits)) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return negative ? -value : value;
}

}  // namespace dllg2
