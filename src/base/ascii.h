// ASCII-only text decisions: letter case, digits, whole numbers and pieces of
// texts.  None of them depends on the host process's locale, so a host that
// switched its global locale (a comma decimal, Turkish dotted and dotless i)
// gets the same printer texts as any other.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kalpo::base::ascii {

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr char to_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lower(std::string_view text) {
  std::string out(text);
  for (char &c : out) c = to_lower(c);
  return out;
}

// Equal when letters are compared without regard to their ASCII case.
constexpr bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (to_lower(a[i]) != to_lower(b[i])) return false;
  }
  return true;
}

constexpr bool all_digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is_digit);
}

enum class Sign { Allowed, Refused };

// A whole decimal number: one or more digits, after one optional "+" or "-"
// when signs are allowed, and nothing else; nothing when the text is not such
// a number or its value does not fit Int.
template <typename Int>
std::optional<Int> parse_integer(std::string_view text, Sign sign = Sign::Allowed) {
  const bool signed_text = sign == Sign::Allowed && !text.empty() && (text[0] == '+' || text[0] == '-');
  const std::string_view digits = text.substr(signed_text ? 1 : 0);
  if (!all_digits(digits)) return std::nullopt;
  const char *first = signed_text && text[0] == '-' ? text.data() : digits.data();
  const char *last = text.data() + text.size();
  Int value{};
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

// Characters first..last (1-based, inclusive) of text; fewer when it is
// shorter, none when it ends before first.
inline std::string characters(std::string_view text, std::size_t first, std::size_t last) {
  if (first == 0 || first > text.size() || last < first) return {};
  return std::string(text.substr(first - 1, last - first + 1));
}

// Without leading and trailing spaces (other blanks stay).
inline std::string_view trim_spaces(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Without leading and trailing blanks: spaces, tabs and line breaks.
inline std::string_view trim_blanks(std::string_view text) {
  constexpr std::string_view blanks = " \t\r\n";
  std::size_t begin = text.find_first_not_of(blanks);
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

// Without leading and trailing spaces and control characters.
inline std::string_view trim_spaces_and_controls(std::string_view text) {
  auto weak = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && weak(text.front())) text.remove_prefix(1);
  while (!text.empty() && weak(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace kalpo::base::ascii
