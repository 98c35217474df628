// The Bematech-convention answers: return codes, status bytes and the
// outcome that waits for the status read, for each library that answers in
// these conventions.
#include "bematech/conventions.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>
#include <utility>
#include <vector>

#include "common/readers.h"

namespace bema {
namespace {

using ksim::Outcome;

// ST3 numbers each refusal that has no bit of its own in ST1/ST2.
std::int32_t st3_for(Outcome outcome) {
  switch (outcome) {
    case Outcome::no_coupon_open: return 1;
    case Outcome::coupon_open: return 2;
    case Outcome::wrong_document: return 3;
    case Outcome::wrong_phase: return 4;
    case Outcome::payment_short: return 5;
    case Outcome::rate_not_programmed: return 6;
    case Outcome::item_not_found: return 7;
    case Outcome::cancel_not_allowed: return 8;
    case Outcome::voucher_not_allowed: return 9;
    case Outcome::day_closed: return 10;
    case Outcome::reduction_pending: return 11;
    case Outcome::paper_end: return 12;
    default: return 0;
  }
}

// The status bits of a refusal the printer executes nothing for.
Status refusal_status(Outcome outcome) {
  Status status{kAck, 0, kSt2NotExecuted, st3_for(outcome)};
  if (outcome == Outcome::paper_end) status.st1 |= kSt1PaperEnd;
  if (outcome == Outcome::coupon_open) status.st1 |= kSt1CouponOpen;
  if (outcome == Outcome::rate_not_programmed) status.st2 |= kSt2RateNotProgrammed;
  if (outcome == Outcome::item_not_found || outcome == Outcome::cancel_not_allowed) status.st2 |= kSt2CancelRefused;
  return status;
}

std::int32_t paper_bits(const ksim::Faults &faults) {
  return (faults.paper_end ? kSt1PaperEnd : 0) | (faults.paper_near_end ? kSt1PaperNearEnd : 0);
}

// A return code or status byte written in the fault: a 32-bit integer.
std::optional<std::int32_t> integer(std::string_view text) {
  const std::optional<std::int64_t> value = common::whole(text, 10);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return std::int32_t(*value);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    std::size_t next = text.find(separator, at);
    parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
    if (next == std::string_view::npos) return parts;
    at = next + 1;
  }
}

void wait_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The faults this library answers for, before the operation runs.
std::optional<Reply> fault_reply(const ksim::Faults &faults, Kind kind) {
  if (faults.driver_start_refused) return Reply{kPortNotOpened, {}};
  if (faults.slow_ms > 0) {
    wait_ms(std::min(faults.slow_ms, kTimeoutMs));
    if (faults.slow_ms > kTimeoutMs) return Reply{kNoAnswer, {}};
  }
  if (faults.refuse_code) return injected(*faults.refuse_code);
  if (faults.unreadable && kind == Kind::command) return Reply{kNoAnswer, {}};
  return std::nullopt;
}

Reply answer(ksim::Session &session, Kind kind, Operation &operation) {
  if (session.silent()) return {kPrinterOff, {}};
  const ksim::Faults &faults = session.faults();
  if (auto reply = fault_reply(faults, kind)) return *reply;
  Result result = operation.run(session, faults.unreadable);
  if (faults.unreadable) return {kNoAnswer, {}};
  if (result.code) return {*result.code, {}};
  return reply_for(result.outcome, faults);
}

bool clean(const Status &status) { return status.ack == kAck && status.st2 == 0; }

void put(std::int32_t *target, std::int32_t value) {
  if (target) *target = value;
}

}  // namespace

Reply reply_for(Outcome outcome, const ksim::Faults &faults) {
  switch (outcome) {
    case Outcome::ok: return {kOk, Status{kAck, paper_bits(faults), 0, 0}};
    case Outcome::no_communication: return {kPrinterOff, {}};
    case Outcome::invalid_argument: return {kBadParameter, {}};
    case Outcome::form_not_programmed: return {kFormNotProgrammed, {}};
    case Outcome::nothing_to_report: return {kNothingToPrint, {}};
    case Outcome::refused: return faults.refuse_code ? injected(*faults.refuse_code) : Reply{kExecution, {}};
    default: break;
  }
  Status status = refusal_status(outcome);
  status.st1 |= paper_bits(faults);
  return {kOk, status};
}

Reply injected(std::string_view code) {
  if (code == "NAK") return {kOk, Status{kNak, 0, 0, 0}};
  if (auto value = integer(code)) return {*value, std::nullopt};
  constexpr std::string_view prefix = "status:";
  if (code.substr(0, prefix.size()) != prefix) return {kExecution, {}};
  auto bytes = split(code.substr(prefix.size()), ',');
  if (bytes.size() < 2 || bytes.size() > 3) return {kExecution, {}};
  Status status;
  std::int32_t *fields[] = {&status.st1, &status.st2, &status.st3};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto value = integer(bytes[i]);
    if (!value || *value < 0 || *value > 255) return {kExecution, {}};
    *fields[i] = *value;
  }
  return {kOk, status};
}

Status state_status(const ksim::Session &session) {
  std::int32_t st1 = paper_bits(session.faults());
  if (session.state().open == ksim::Document::coupon) st1 |= kSt1CouponOpen;
  return Status{kAck, st1, 0, 0};
}

void PendingStatus::set(std::optional<Status> status) {
  std::lock_guard lock(mutex_);
  status_ = status;
}

std::optional<Status> PendingStatus::take() {
  std::lock_guard lock(mutex_);
  return std::exchange(status_, std::nullopt);
}

PendingStatus &pending(std::string_view library) { return ksim::Printer::of(library).local<PendingStatus>(); }

std::int32_t call(std::string_view library, std::string_view function, Kind kind, Operation &operation) noexcept {
  try {
    ksim::Printer &printer = ksim::Printer::of(library);
    // The library opens the port at every call, so a refused start answers
    // the call that meets it.
    ksim::Call session_kind = printer.faults().driver_start_refused ? ksim::Call::start
                              : kind == Kind::command               ? ksim::Call::command
                                                                    : ksim::Call::query;
    ksim::Session session = printer.begin(function, session_kind);
    Reply reply = answer(session, kind, operation);
    if (reply.code != kOk || (kind == Kind::query && reply.status && clean(*reply.status))) reply.status.reset();
    printer.local<PendingStatus>().set(reply.status);
    return reply.code;
  } catch (...) {
    return kExecution;
  }
}

std::int32_t read_state(std::string_view library, std::string_view function, std::int32_t *ack, std::int32_t *st1,
                        std::int32_t *st2) noexcept {
  return query(library, function, [&](ksim::Session &session, bool unreadable) -> Result {
    if (unreadable) return Outcome::ok;
    Status status = state_status(session);
    put(ack, status.ack), put(st1, status.st1), put(st2, status.st2);
    return Outcome::ok;
  });
}

std::int32_t read_status(std::string_view library, std::string_view function, std::int32_t *ack, std::int32_t *st1,
                         std::int32_t *st2, std::int32_t *st3) noexcept {
  std::optional<Status> status;
  try {
    status = pending(library).take();
  } catch (...) {
    return kExecution;
  }
  if (status) {
    put(ack, status->ack), put(st1, status->st1), put(st2, status->st2), put(st3, status->st3);
    return kOk;
  }
  std::int32_t code = read_state(library, function, ack, st1, st2);
  if (code == kOk) put(st3, 0);
  return code;
}

}  // namespace bema
