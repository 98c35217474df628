// The Daruma answer conventions: return codes, extended error numbers and
// status bytes for each outcome of the virtual printer.
#include <chrono>
#include <cstring>
#include <thread>

#include "daruma32/daruma.h"

namespace daruma {
namespace {

using ksim::Outcome;

// Status bits of the last command.
constexpr int st1_paper_end = 128, st1_paper_near_end = 64, st1_coupon_open = 2;
constexpr int st2_bad_parameter = 128, st2_rate_not_programmed = 16, st2_cancel_not_allowed = 4, st2_not_executed = 1;

int error_of(Outcome outcome) {
  switch (outcome) {
    case Outcome::ok: return error::none;
    case Outcome::no_communication: return error::no_communication;
    case Outcome::paper_end: return error::paper_end;
    case Outcome::no_coupon_open: return error::document_not_open;
    case Outcome::coupon_open: return error::document_open;
    case Outcome::wrong_document: return error::document_being_issued;
    case Outcome::wrong_phase:
    case Outcome::payment_short: return error::closing_sequence;
    case Outcome::rate_not_programmed: return error::rate_not_defined;
    case Outcome::form_not_programmed: return error::form_not_found;
    case Outcome::item_not_found: return error::item_not_found;
    case Outcome::cancel_not_allowed: return error::nothing_to_cancel;
    case Outcome::voucher_not_allowed: return error::voucher_not_allowed;
    case Outcome::day_closed: return error::day_closed;
    case Outcome::reduction_pending: return error::reduction_pending;
    case Outcome::invalid_argument: return error::syntax;
    case Outcome::nothing_to_report: return error::memory_empty;
    case Outcome::refused: break;
  }
  return error::cannot_execute;
}

std::int32_t return_of(Outcome outcome) {
  switch (outcome) {
    case Outcome::ok: return 1;
    case Outcome::no_communication: return 0;
    case Outcome::invalid_argument: return -2;
    case Outcome::rate_not_programmed: return -3;
    default: return -1;
  }
}

int st2_of(Outcome outcome) {
  switch (outcome) {
    case Outcome::ok: return 0;
    case Outcome::invalid_argument: return st2_bad_parameter | st2_not_executed;
    case Outcome::rate_not_programmed: return st2_rate_not_programmed | st2_not_executed;
    case Outcome::cancel_not_allowed: return st2_cancel_not_allowed | st2_not_executed;
    default: return st2_not_executed;
  }
}

// The injected code of a refusal: its Daruma error number.
int injected(const ksim::Faults &faults) {
  const std::optional<std::int64_t> number = common::whole(faults.refuse_code.value_or(""));
  return !number || *number < 1 || *number > 999 ? error::cannot_execute : int(*number);
}

void record(Outcome outcome, const ksim::Session *session) {
  Last &status = last();
  bool answered = outcome != Outcome::no_communication;
  status.ack = !answered ? 0 : outcome == Outcome::ok ? 6 : 21;
  status.st1 = status.st2 = 0;
  status.error = error_of(outcome);
  if (session && answered) {
    const ksim::Faults &faults = session->faults();
    if (outcome == Outcome::refused) status.error = injected(faults);
    if (outcome == Outcome::paper_end) status.st1 |= st1_paper_end;
    if (faults.paper_near_end) status.st1 |= st1_paper_near_end;
    if (session->state().open == ksim::Document::coupon) status.st1 |= st1_coupon_open;
    status.st2 = st2_of(outcome);
  }
}

// A call that failed inside this library: answered as no communication.
std::int32_t failed() {
  try {
    record(Outcome::no_communication, nullptr);
  } catch (...) {
  }
  return 0;
}

// The faults of one session that this library applies: a slow answer is
// waited for, an unreadable one noted for the next extended error.
void apply_faults(const ksim::Faults &faults) {
  if (faults.unreadable) last().unreadable = true;
  if (faults.slow_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(faults.slow_ms));
}

std::int32_t answer(ksim::Session &session, const Operation &op) {
  apply_faults(session.faults());
  Outcome outcome = session.silent() ? Outcome::no_communication : op(session);
  record(outcome, &session);
  return return_of(outcome);
}

}  // namespace

ksim::Printer &printer() { return ksim::Printer::of("daruma32"); }

Last &last() { return printer().local<Last>(); }

std::int32_t command(std::string_view function, const Operation &op) {
  try {
    {
      // The library opens its port before each command.
      ksim::Session port = printer().begin(function, ksim::Call::start);
      apply_faults(port.faults());
      if (port.silent() || port.faults().driver_start_refused) {
        record(Outcome::no_communication, nullptr);
        return port.silent() ? 0 : -5;
      }
    }
    ksim::Session session = printer().begin(function, ksim::Call::command);
    return answer(session, op);
  } catch (...) {
    return failed();
  }
}

std::int32_t query(std::string_view function, const Operation &op) {
  try {
    ksim::Session session = printer().begin(function, ksim::Call::query);
    return answer(session, op);
  } catch (...) {
    return failed();
  }
}

void put(char *buffer, std::string_view value, std::size_t width) {
  if (!buffer) return;
  std::size_t size = value.size() < width ? value.size() : width;
  std::memcpy(buffer, value.data(), size);
  buffer[size] = '\0';
}

}  // namespace daruma
