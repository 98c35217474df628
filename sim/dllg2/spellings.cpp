#include "dllg2/spellings.h"

#include <string>

#include "dllg2/answers.h"
#include "dllg2/values.h"

namespace dllg2 {
namespace {

constexpr int max_rate_index = 16;

// The core's code of a non-taxed rate in any of its spellings, or empty.
std::string_view untaxed_code(std::string_view code) {
  constexpr std::string_view spellings[][3] = {{"FF", "F", "F1"}, {"II", "I", "I1"}, {"NN", "N", "N1"}};
  for (const auto &row : spellings)
    for (std::string_view s : row)
      if (code == s) return row[0];
  return {};
}

const ksim::PaymentForm *form_by_code(const ksim::Session &session, std::string_view code) {
  if (const common::Number index = common::digits(code, 1, 2)) return session.form_by_index(int(*index));
  return session.form_by_name(code);
}

}  // namespace

Lookup<ksim::Rate> find_rate(const ksim::Session &session, std::string_view code) {
  if (code.empty()) return {nullptr, code::rate_missing};
  if (auto untaxed = untaxed_code(code); !untaxed.empty()) {
    const ksim::Rate *rate = session.rate_by_code(untaxed);
    return {rate, rate ? 0 : code::rate_not_loaded};
  }
  std::string_view digits = code.front() == 'T' ? code.substr(1) : code;
  const common::Number number = common::digits(digits, 1, 2);
  if (!number) return {nullptr, code::bad_rate_index};
  const int index = int(*number);
  if (index < 1 || index > max_rate_index) return {nullptr, code::bad_rate_index};
  const ksim::Rate *rate = session.rate_by_index(index);
  return {rate, rate ? 0 : code::rate_not_loaded};
}

Lookup<ksim::PaymentForm> find_form(const ksim::Session &session, std::string_view code, std::string_view name) {
  if (code.empty() && name.empty()) return {nullptr, code::form_missing};
  const ksim::PaymentForm *by_name = name.empty() ? nullptr : session.form_by_name(name);
  if (code.empty()) return {by_name, by_name ? 0 : code::form_not_defined};
  const ksim::PaymentForm *form = form_by_code(session, code);
  if (!form) return {nullptr, code::form_not_defined};
  if (by_name && by_name != form) return {nullptr, code::bad_form_index};
  return {form, 0};
}

}  // namespace dllg2
