#include "dllg2/answers.h"

#include "common/readers.h"

namespace dllg2 {
namespace {

using ksim::Outcome;

constexpr std::pair<Outcome, int> general_codes[] = {
    {Outcome::ok, code::none},
    {Outcome::no_communication, code::no_dtr},
    {Outcome::paper_end, code::paper_out},
    {Outcome::no_coupon_open, code::out_of_sequence},
    {Outcome::coupon_open, code::out_of_sequence},
    {Outcome::wrong_document, code::out_of_sequence},
    {Outcome::wrong_phase, code::out_of_sequence},
    {Outcome::payment_short, code::paid_below_total},
    {Outcome::rate_not_programmed, code::rate_not_loaded},
    {Outcome::form_not_programmed, code::form_not_defined},
    {Outcome::item_not_found, code::item_not_sold},
    {Outcome::cancel_not_allowed, code::bad_cancel},
    {Outcome::voucher_not_allowed, code::bad_linked_coo},
    {Outcome::day_closed, code::day_closed},
    {Outcome::reduction_pending, code::reduction_pending},
    {Outcome::invalid_argument, code::bad_value},
    {Outcome::nothing_to_report, code::day_without_movement},
};

int injected_code(const ksim::Session &session) {
  const auto &text = session.faults().refuse_code;
  const std::optional<std::int64_t> value = text ? common::whole(*text, 9) : std::nullopt;
  return value ? int(*value) : code::bad_parameter;
}

}  // namespace

int code_for(const ksim::Session &session, Outcome outcome, Overrides overrides) {
  if (outcome == Outcome::refused) return injected_code(session);
  for (const auto &[which, code] : overrides)
    if (which == outcome) return code;
  for (const auto &[which, code] : general_codes)
    if (which == outcome) return code;
  return code::bad_parameter;
}

std::string returns_text(const Returns &returns, std::string_view filter) {
  std::string text;
  for (const auto &r : returns) {
    if (!filter.empty() && r.name != filter) continue;
    if (!text.empty()) text += ';';
    text += r.name + "=\"";
    for (char c : r.value) {
      text += c;
      if (c == '"') text += '"';
    }
    text += '"';
  }
  return text;
}

void spoil_numbers(Returns &returns) {
  for (auto &r : returns)
    if (r.numeric) r.value = common::garbled(r.value);
}

}  // namespace dllg2
