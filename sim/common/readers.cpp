#include "common/readers.h"

#include <algorithm>

namespace common {
namespace {

constexpr std::size_t kMostDigits = 18;  // what an int64 holds whatever the digits

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool all_digits(std::string_view text) {
  for (char c : text)
    if (!is_digit(c)) return false;
  return !text.empty();
}

std::int64_t value_of(std::string_view digit_text) {
  std::int64_t value = 0;
  for (char c : digit_text) value = value * 10 + (c - '0');
  return value;
}

// The integer part: plain digits, or with `grouping` a first group of one to
// three digits and groups of three after it, each after the same separator
// (one of `separators` other than the decimal one).
std::optional<std::string> integer_part(std::string_view text, const DecimalForm &form, char decimal_separator) {
  const std::size_t cut = text.find_first_not_of("0123456789");
  if (cut == std::string_view::npos) return all_digits(text) ? std::optional(std::string(text)) : std::nullopt;
  const char group = text[cut];
  if (!form.grouping || cut == 0 || cut > 3 || group == decimal_separator ||
      form.separators.find(group) == std::string_view::npos)
    return std::nullopt;
  std::string joined(text.substr(0, cut));
  for (std::size_t at = cut; at < text.size(); at += 4) {
    const std::string_view digits_of_group = text.substr(at + 1, 3);
    if (text[at] != group || digits_of_group.size() != 3 || !all_digits(digits_of_group)) return std::nullopt;
    joined += digits_of_group;
  }
  return joined;
}

// Where the decimal separator stands, npos when there is none; nullopt when
// the text cannot hold one as the form wants.
std::optional<std::size_t> separator_at(std::string_view text, const DecimalForm &form) {
  if (form.places < 0) {
    const std::size_t at = text.find_first_of(form.separators);
    if (at != std::string_view::npos && text.find_first_of(form.separators, at + 1) != std::string_view::npos)
      return std::nullopt;
    return at;
  }
  if (form.places > 0 && text.size() > std::size_t(form.places)) {
    const std::size_t at = text.size() - std::size_t(form.places) - 1;
    if (form.separators.find(text[at]) != std::string_view::npos) return at;
  }
  if (form.places == 0 || form.places_optional) return std::string_view::npos;
  return std::nullopt;
}

int two_digit_field(std::string_view text, std::size_t &at, std::size_t least) {
  int value = 0;
  std::size_t count = 0;
  while (count < 2 && at < text.size() && is_digit(text[at])) value = value * 10 + (text[at++] - '0'), ++count;
  return count >= least ? value : -1;
}

bool real_date(int year, int month, int day) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// One field of a date-and-time pattern, a run of one letter; false when the
// text does not hold it.
bool read_field(char letter, std::size_t run, std::string_view text, std::size_t &at, ksim::DateTime &when) {
  if (letter == 'y') {
    if (run != 2 && run != 4) return false;
    const Number year = digits(text.substr(at, run), run);
    at += run;
    when.year = int(year.value) + (run == 2 ? 2000 : 0);
    return year.ok();
  }
  const bool loose = run == 1 && (letter == 'd' || letter == 'm');
  if (run != 2 && !loose) return false;
  const int value = two_digit_field(text, at, loose ? 1 : 2);
  if (value < 0) return false;
  switch (letter) {
    case 'd': when.day = value; return true;
    case 'm': when.month = value; return true;
    case 'h': when.hour = value; return value < 24;
    case 'n': when.minute = value; return value < 60;
    default: when.second = value; return value < 60;
  }
}

}  // namespace

std::string_view text(const char *argument) { return argument ? std::string_view(argument) : std::string_view(); }

Number digits(std::string_view text, std::size_t least, std::size_t most) {
  if (text.empty()) return {Field::empty, 0};
  if (!all_digits(text)) return {Field::not_digits, 0};
  if (text.size() < least || text.size() > most || text.size() > kMostDigits) return {Field::wrong_width, 0};
  return {Field::ok, value_of(text)};
}

std::optional<std::int64_t> whole(std::string_view text, std::size_t most) {
  const bool negative = !text.empty() && text.front() == '-';
  const Number number = digits(text.substr(negative ? 1 : 0), 1, most);
  if (!number) return std::nullopt;
  return negative ? -*number : *number;
}

std::string digits_in(std::string_view text) {
  std::string found;
  for (char c : text)
    if (is_digit(c)) found += c;
  return found;
}

std::optional<Decimal> decimal(std::string_view text, const DecimalForm &form) {
  Decimal amount;
  if (form.sign && !text.empty() && text.front() == '-') amount.negative = true, text.remove_prefix(1);
  const std::optional<std::size_t> at = separator_at(text, form);
  if (!at) return std::nullopt;
  const bool has_fraction = *at != std::string_view::npos;
  const char separator = has_fraction ? text[*at] : '\0';
  if (has_fraction) {
    amount.fraction = std::string(text.substr(*at + 1));
    if (!all_digits(amount.fraction)) return std::nullopt;
  }
  std::optional<std::string> integer = integer_part(text.substr(0, *at), form, separator);
  if (!integer || integer->size() + amount.fraction.size() > std::min(form.most, kMostDigits)) return std::nullopt;
  amount.integer = std::move(*integer);
  return amount;
}

std::optional<std::int64_t> scaled(const Decimal &amount, int places) {
  for (std::size_t i = std::size_t(places); i < amount.fraction.size(); ++i)
    if (amount.fraction[i] != '0') return std::nullopt;
  std::int64_t value = value_of(amount.integer);
  for (std::size_t i = 0; i < std::size_t(places); ++i)
    value = value * 10 + (i < amount.fraction.size() ? amount.fraction[i] - '0' : 0);
  return amount.negative ? -value : value;
}

std::optional<std::int64_t> decimal(std::string_view text, const DecimalForm &form, int places) {
  const std::optional<Decimal> amount = decimal(text, form);
  return amount ? scaled(*amount, places) : std::nullopt;
}

std::int64_t rescaled(std::int64_t value, int from, int to) {
  for (int d = from; d < to; ++d) value *= 10;
  return value;
}

ksim::Cents gross(ksim::Milli quantity, ksim::Milli unit_price) { return (quantity * unit_price + 5000) / 10000; }

ksim::Cents percent_of(ksim::Cents amount, std::int64_t basis_points) { return (amount * basis_points + 5000) / 10000; }

std::optional<ksim::DateTime> date_time(std::string_view text, std::string_view pattern) {
  ksim::DateTime when;
  bool has_date = false;
  std::size_t at = 0;
  for (std::size_t p = 0; p < pattern.size();) {
    const char letter = pattern[p];
    const std::size_t run = std::min(pattern.find_first_not_of(letter, p), pattern.size()) - p;
    p += run;
    if (std::string_view("dmyhns").find(letter) == std::string_view::npos) {
      for (std::size_t i = 0; i < run; ++i)
        if (at >= text.size() || text[at++] != letter) return std::nullopt;
      continue;
    }
    has_date = has_date || letter == 'd' || letter == 'm' || letter == 'y';
    if (!read_field(letter, run, text, at, when)) return std::nullopt;
  }
  if (at != text.size() || (has_date && !real_date(when.year, when.month, when.day))) return std::nullopt;
  return when;
}

std::string iso_date(const ksim::DateTime &when) {
  return padded(when.year, 4) + "-" + padded(when.month, 2) + "-" + padded(when.day, 2);
}

std::string slashed_date(std::string_view iso, std::string_view none) {
  if (iso.size() != 10) return std::string(none);
  return std::string(iso.substr(8, 2)) + '/' + std::string(iso.substr(5, 2)) + '/' + std::string(iso.substr(0, 4));
}

std::string padded(std::int64_t value, std::size_t width) {
  std::string digit_text = std::to_string(value < 0 ? -value : value);
  if (digit_text.size() < width) digit_text.insert(0, width - digit_text.size(), '0');
  return value < 0 ? "-" + digit_text : digit_text;
}

std::string garbled(std::string text) {
  for (char &c : text) c = is_digit(c) ? '?' : c;
  return text;
}

int refusal_number(std::string_view code, int fallback) {
  const std::size_t first = code.find_first_of("0123456789");
  const Number number = digits(first == std::string_view::npos ? std::string_view() : code.substr(first), 1, 15);
  return number && *number < 100 ? int(*number) : fallback;
}

}  // namespace common
