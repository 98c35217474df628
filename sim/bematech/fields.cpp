// Argument readers and answer fields of the Bematech-convention calls.
#include "bematech/fields.h"

#include <algorithm>
#include <cstring>

namespace bema {
namespace {

using ksim::Outcome;

bool all_digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int two_digits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// "dd?mm?yy" or "dd?mm?yyyy" with `separator` at positions 3 and 6.
bool split_date(std::string_view text, char separator, int &day, int &month, int &year) {
  if ((text.size() != 8 && text.size() != 10) || text[2] != separator || text[5] != separator) return false;
  std::string_view year_text = text.substr(6);
  if (!all_digits(text.substr(0, 2)) || !all_digits(text.substr(3, 2)) || !all_digits(year_text)) return false;
  day = two_digits(text, 0), month = two_digits(text, 3);
  year = year_text.size() == 2 ? 2000 + two_digits(year_text, 0) : int(*digits(year_text, 4, 4));
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  return month != 2 || day < 29 || (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0));
}

}  // namespace

std::string_view text(const char *argument) { return argument ? std::string_view(argument) : std::string_view(); }

std::optional<std::int64_t> digits(std::string_view text, std::size_t min_digits, std::size_t max_digits) {
  if (text.size() < min_digits || text.size() > max_digits || text.empty() || !all_digits(text)) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  return value;
}

const ksim::Rate *read_rate(const ksim::Session &session, std::string_view code, Outcome &outcome) {
  const ksim::Rate *rate = nullptr;
  outcome = Outcome::invalid_argument;
  if (code == "FF" || code == "II" || code == "NN") {
    rate = session.rate_by_code(code);
  } else if (auto index = digits(code, 2, 2)) {
    rate = session.rate_by_index(int(*index));
  } else if (code.size() == 5 && code[2] == ',') {
    auto whole = digits(code.substr(0, 2), 2, 2), cents = digits(code.substr(3), 2, 2);
    if (!whole || !cents) return nullptr;
    rate = session.rate_by_percent(int(*whole * 100 + *cents));
  } else if (auto basis_points = digits(code, 4, 4)) {
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

ksim::Cents gross(ksim::Milli quantity, ksim::Milli unit_price) { return (quantity * unit_price + 5000) / 10000; }

std::optional<std::string> read_date(std::string_view text) {
  int day = 0, month = 0, year = 0;
  if (!split_date(text, '/', day, month, year)) return std::nullopt;
  return std::to_string(year) + "-" + zero_padded(month, 2) + "-" + zero_padded(day, 2);
}

std::optional<std::int64_t> clock_time(std::string_view date, std::string_view time) {
  int day = 0, month = 0, year = 0;
  if (!split_date(date, '/', day, month, year) || time.size() != 8 || time[2] != ':' || time[5] != ':') {
    return std::nullopt;
  }
  auto hour = digits(time.substr(0, 2), 2, 2), minute = digits(time.substr(3, 2), 2, 2),
       second = digits(time.substr(6, 2), 2, 2);
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  return ksim::from_civil({year, month, day, int(*hour), int(*minute), int(*second)});
}

void put_text(char *buffer, std::size_t width, std::string_view value) {
  if (value.size() > width) value = value.substr(value.size() - width);
  std::memset(buffer, ' ', width);
  std::memcpy(buffer, value.data(), value.size());
}

std::string zero_padded(std::int64_t value, std::size_t width) {
  std::string digits_text = std::to_string(value < 0 ? -value : value);
  if (digits_text.size() < width) digits_text.insert(0, width - digits_text.size(), '0');
  return value < 0 ? "-" + digits_text : digits_text;
}

void put_number(char *buffer, std::size_t width, std::int64_t value, bool garbled) {
  std::string digits_text = zero_padded(value, width);
  put_text(buffer, width, garbled ? garble(digits_text) : digits_text);
}

std::string garble(std::string text) {
  for (char &c : text) c = c >= '0' && c <= '9' ? '?' : c;
  return text;
}

}  // namespace bema
