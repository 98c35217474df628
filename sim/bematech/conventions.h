// The answer conventions that BEMAFI32 and CONVECF share: an integer return
// code (1 is the only success) and, after a code 1, the status bytes ACK,
// ST1, ST2 (and ST3) that the status call hands out.
//
// What a status read reports: the first status read after a command reports
// that command's outcome (its refusal bits, or none); every other status read
// reports the printer's state (the coupon-open bit, the paper bits).  Queries
// and device calls leave no outcome of their own, so the status read after
// them reports the state.  This keeps a sale free of "Cupom aberto!" boxes
// while a program can still ask the printer whether a coupon is open.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "core/printer.h"

namespace bema {

// Return codes.
inline constexpr std::int32_t kOk = 1;
inline constexpr std::int32_t kNoAnswer = 0;    // time-out or an answer that cannot be read
inline constexpr std::int32_t kExecution = -1;  // the library itself failed
inline constexpr std::int32_t kBadParameter = -2;
inline constexpr std::int32_t kPortNotOpened = -5;
inline constexpr std::int32_t kPrinterOff = -6;
inline constexpr std::int32_t kFileWrite = -8;
inline constexpr std::int32_t kFormNotProgrammed = -24;
inline constexpr std::int32_t kNothingToPrint = -28;

// Status bits.
inline constexpr std::int32_t kAck = 6, kNak = 21;
inline constexpr std::int32_t kSt1PaperEnd = 128, kSt1PaperNearEnd = 64, kSt1CouponOpen = 2;
inline constexpr std::int32_t kSt2RateNotProgrammed = 16, kSt2CancelRefused = 4, kSt2NotExecuted = 1;

// The longest answer the library waits for.
inline constexpr int kTimeoutMs = 2000;

struct Status {
  std::int32_t ack = kAck, st1 = 0, st2 = 0, st3 = 0;
};

// One call's answer: its return code and, for a command answered with 1,
// the outcome its status bytes report.
struct Reply {
  std::int32_t code = kOk;
  std::optional<Status> status;
};

// The answer for a core outcome.
Reply reply_for(ksim::Outcome outcome, const ksim::Faults &faults);
// The answer for an injected refusal: "-3" (a return code), "NAK", or
// "status:ST1,ST2[,ST3]" (code 1 with those status bytes).
Reply injected(std::string_view code);

// The status bytes of the printer's state.
Status state_status(const ksim::Session &session);

// The outcome of the last command, until a status read takes it.  Kept in
// the library's memory, per process, as the maker's own library keeps it.
class PendingStatus {
 public:
  void set(std::optional<Status> status);
  std::optional<Status> take();

 private:
  std::mutex mutex_;
  std::optional<Status> status_;
};
PendingStatus &pending(std::string_view library);

enum class Kind {
  command,  // a document or report: its outcome waits for the status read
  query,    // reads the printer or works its device (drawer, spacing, cutter):
            // leaves no outcome of its own
};

// What an operation ends with: the core's outcome (argument refusals as
// invalid_argument, unprogrammed forms as form_not_programmed, and so on),
// or a return code of the library's own.
struct Result {
  Result(ksim::Outcome o) : outcome(o) {}  // NOLINT: an outcome is a result
  static Result library_code(std::int32_t c) {
    Result result(ksim::Outcome::ok);
    result.code = c;
    return result;
  }
  ksim::Outcome outcome;
  std::optional<std::int32_t> code;
};

// What a call does once its session is open and its faults passed.  With
// `unreadable` set, it writes its numeric answer fields unreadable.
class Operation {
 public:
  virtual ~Operation() = default;
  virtual Result run(ksim::Session &session, bool unreadable) = 0;
};

// Runs one call of a library: takes the printer's lock, applies the faults
// the library answers for (driver start, slow, unreadable, refuse), runs
// the operation, records the status for the next status read and returns
// the code.  Never throws.
std::int32_t call(std::string_view library, std::string_view function, Kind kind, Operation &operation) noexcept;

template <typename F>
class Lambda final : public Operation {
 public:
  explicit Lambda(F &f) : f_(f) {}
  Result run(ksim::Session &session, bool unreadable) override { return f_(session, unreadable); }

 private:
  F &f_;
};

template <typename F>
std::int32_t command(std::string_view library, std::string_view function, F f) noexcept {
  Lambda<F> operation(f);
  return call(library, function, Kind::command, operation);
}

template <typename F>
std::int32_t query(std::string_view library, std::string_view function, F f) noexcept {
  Lambda<F> operation(f);
  return call(library, function, Kind::query, operation);
}

// The status call: the pending outcome when there is one, else the state.
// Writes nothing when the printer does not answer.
std::int32_t read_status(std::string_view library, std::string_view function, std::int32_t *ack, std::int32_t *st1,
                         std::int32_t *st2, std::int32_t *st3) noexcept;
// The state alone, whatever is pending.
std::int32_t read_state(std::string_view library, std::string_view function, std::int32_t *ack, std::int32_t *st1,
                        std::int32_t *st2) noexcept;

}  // namespace bema
