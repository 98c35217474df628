#include "ecf32m/answer.h"

#include <chrono>
#include <mutex>

namespace ecf32m {
namespace {

using Clock = std::chrono::steady_clock;

// The library's memory in the point-of-sale process: the port and the last
// return text, with the moment it arrives.
struct Link {
  std::mutex mutex;
  bool open = false;
  bool answered = false;
  std::int32_t code = done;
  std::string text;
  Clock::time_point ready;
};

ksim::Printer &printer() { return ksim::Printer::of("ecf32m"); }

Link &link() { return printer().local<Link>(); }

int injected(const ksim::Session &session) {
  return common::refusal_number(session.faults().refuse_code.value_or(""), syntax);
}

int error_for(ksim::Outcome outcome, const ksim::Session &session, int phase_error) {
  using ksim::Outcome;
  switch (outcome) {
    case Outcome::paper_end: return paper_out;
    case Outcome::no_coupon_open: return coupon_needed;
    case Outcome::coupon_open: return not_during_coupon;
    case Outcome::wrong_document: return not_during_nonfiscal;
    case Outcome::wrong_phase: return phase_error;
    case Outcome::payment_short: return payment_incomplete;
    case Outcome::rate_not_programmed: return Error::rate_not_programmed;
    case Outcome::form_not_programmed: return Error::form_not_programmed;
    case Outcome::item_not_found: return 31;  // "Item inexistente ou já cancelado"
    case Outcome::cancel_not_allowed: return cannot_cancel;
    case Outcome::voucher_not_allowed: return disabled;
    case Outcome::day_closed: return reduction_done;
    case Outcome::reduction_pending: return reduction_needed;
    case Outcome::nothing_to_report: return session.state().fiscal_memory.empty() ? memory_empty : range;
    case Outcome::refused: return injected(session);
    default: return syntax;
  }
}

void answer(Link &l, std::int32_t code, std::string text, int delay_ms) {
  l.answered = true;
  l.code = code;
  l.text = std::move(text);
  l.ready = Clock::now() + std::chrono::milliseconds(delay_ms);
}

}  // namespace

Reply refuse(int error) { return Reply{error, {}, false}; }

Reply reply(ksim::Outcome outcome, const ksim::Session &session, int phase_error) {
  if (outcome == ksim::Outcome::ok) return Reply{};
  if (outcome == ksim::Outcome::no_communication) return Reply{-1, {}, true};
  return refuse(error_for(outcome, session, phase_error));
}

int field_error(const common::Number &n) { return n.status == common::Field::not_digits ? not_numeric : syntax; }

std::int32_t run(const char *function, const Command &command, ksim::Call call) noexcept {
  Link &l = link();
  std::lock_guard lock(l.mutex);
  if (!l.open) {
    answer(l, serial_failure, {}, 0);
    return serial_failure;
  }
  try {
    ksim::Session session = printer().begin(function, call);
    const ksim::Faults &faults = session.faults();
    const Reply r = session.silent() ? Reply{-1, {}, true} : command(session);
    if (r.silent) {
      answer(l, timeout, {}, faults.slow_ms);
      return timeout;
    }
    answer(l, done, r.error >= 0 ? "ERR-" + common::padded(r.error, 2) : r.text, faults.slow_ms);
    return r.error < 0 && faults.paper_near_end ? paper_low : done;
  } catch (...) {
    answer(l, timeout, {}, 0);
    return timeout;
  }
}

std::int32_t open_port() noexcept {
  Link &l = link();
  std::lock_guard lock(l.mutex);
  l.open = l.answered = false;
  try {
    const ksim::Faults peek = printer().faults();
    if (peek.off || peek.driver_start_refused || peek.unreadable) {
      // Faults that show at the opening are used up by it when one-shot.
      ksim::Session session = printer().begin("OpenCif", ksim::Call::start);
      if (session.silent()) return timeout;
      if (session.faults().driver_start_refused) return serial_failure;
      if (session.faults().unreadable) return unknown_answer;
    }
  } catch (...) {
    return timeout;
  }
  l.open = true;
  return done;
}

void close_port() noexcept {
  std::lock_guard lock(link().mutex);
  link().open = link().answered = false;
}

std::int32_t fetch(char *buffer) noexcept {
  if (!buffer) return dll_failure;
  Link &l = link();
  std::lock_guard lock(l.mutex);
  if (!l.open) return serial_failure;
  if (!l.answered) return unknown_answer;
  if (Clock::now() < l.ready) return pending;
  if (l.code != done) return l.code;
  const std::size_t n = std::min<std::size_t>(l.text.size(), 255);
  buffer[0] = char(static_cast<unsigned char>(n));
  l.text.copy(buffer + 1, n);
  if (n < 255) buffer[n + 1] = '\0';
  return done;
}

}  // namespace ecf32m
