// The Epson answer conventions: the result code of each outcome of the
// virtual printer, kept for the state text.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "interfaceepson/epson.h"

namespace epson {
namespace {

using ksim::Outcome;

// The injected code of a refusal, four hexadecimal digits.
int injected(const ksim::Faults &faults) {
  const std::string &text = faults.refuse_code.value_or("");
  char *end = nullptr;
  long value = std::strtol(text.c_str(), &end, 16);
  return (text.empty() || *end != '\0' || value < 1 || value > 0xFFFF) ? code::not_allowed : int(value);
}

// Out of sequence in a coupon: the code says where the coupon stands.
int phase_code(const ksim::State &state) {
  if (!state.coupon || state.open != ksim::Document::coupon) return code::document;
  switch (state.coupon->phase) {
    case ksim::Phase::selling: return code::before_payments;
    case ksim::Phase::totalled: return code::after_adjustment;
    case ksim::Phase::paying: return code::after_payments;
  }
  return code::document;
}

int code_of(Outcome outcome, const ksim::Session &session) {
  switch (outcome) {
    case Outcome::ok: return code::ok;
    case Outcome::no_communication: return code::ok;
    case Outcome::paper_end: return code::paper_end;
    case Outcome::no_coupon_open:
    case Outcome::wrong_document: return code::document;
    case Outcome::coupon_open: return code::state;
    case Outcome::wrong_phase: return phase_code(session.state());
    case Outcome::payment_short: return code::payment_incomplete;
    case Outcome::rate_not_programmed: return code::rate_not_found;
    case Outcome::form_not_programmed: return code::form_not_found;
    case Outcome::item_not_found: return code::item_not_found;
    case Outcome::cancel_not_allowed: return code::cancel_refused;
    case Outcome::voucher_not_allowed: return code::not_allowed;
    case Outcome::day_closed: return code::day_closed;
    case Outcome::reduction_pending: return code::day_must_close;
    case Outcome::invalid_argument: return code::numeric_field;
    case Outcome::nothing_to_report: return code::no_sales;
    case Outcome::refused: return injected(session.faults());
  }
  return code::not_allowed;
}

// The return of a call that got no answer from the printer.
constexpr std::int32_t no_answer = 0x0001;

std::int32_t finish(const Reply &reply, const ksim::Session &session) {
  Link &now = link();
  now.command = reply.command ? reply.command : code_of(reply.outcome, session);
  now.field_error = reply.field_error;
  now.field = reply.field;
  now.paper_end = reply.outcome == Outcome::paper_end;
  return now.command;
}

}  // namespace

ksim::Printer &printer() { return ksim::Printer::of("interfaceepson"); }

Link &link() { return printer().local<Link>(); }

void apply_faults(const ksim::Faults &faults) {
  if (faults.unreadable) link().unreadable = true;
  if (faults.slow_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(faults.slow_ms));
}

std::int32_t command(std::string_view function, const Operation &op) {
  try {
    if (!link().open) return port::closed;
    ksim::Session session = printer().begin(function, ksim::Call::command);
    apply_faults(session.faults());
    if (session.silent()) {
      link().command = code::ok;
      return no_answer;
    }
    return finish(op(session), session);
  } catch (...) {
    return no_answer;
  }
}

}  // namespace epson
