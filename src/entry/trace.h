// The call trace: when the environment variable KALPO_TRACE names a file
// (on Windows also a user or system environment variable), every export call
// appends one JSON line to it: the time, the export and its arguments, each
// maker-library call with its argument kinds, arguments, return and the out
// values it wrote, each reading of the workstation with its answer, each
// operator message with the button answered, the result, the out values
// handed back and the duration.  The first line a process writes is a header:
// the trace format, KALPO's version, the platform.  Tracing never changes a
// result and never fails a call; while it is off an export pays one branch.
// In a replay (KALPO_REPLAY_WORKSTATION naming the answers of the recorded
// workstation) the workstation's readings are answered from there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "kalpo.h"

namespace kalpo::entry::trace {

enum class Mode : std::int8_t { unknown, off, on };
extern Mode mode;  // read from the environment at the first export call

// One export call being recorded.
struct Record;

// Starts recording an export call; null when tracing is off or a call is
// already being recorded.  While a record is open the makers' calls go
// through the tracing table.
Record *begin(const char *export_name);
// Writes the record's line and closes it.
void end(Record *record) noexcept;
// Closes the record without writing it.
void discard(Record *record) noexcept;

// The export's result (flag or integer); exports without one record none.
void result(std::int32_t value);
void no_result();
// An operator message and the button that answered it.
void message(std::int32_t form, std::string_view text, const char *caption, std::uint32_t flags, std::int32_t button);

// Export arguments, in order, before the call.
void arg(Record &r, const char *text);
void arg(Record &r, const char **out_text);
void arg(Record &r, char *answer);  // a caller's answer buffer, filled by the call
void arg(Record &r, std::int32_t value);
void arg(Record &r, std::int32_t *var);
void arg(Record &r, double value);
void arg(Record &r, KALPO_TextControl *control);
void arg(Record &r, const void *unread);
void arg(Record &r, void *context);
void arg(Record &r, KALPO_TratadorMensagem handler);

// Out values after the call: written for the out kinds, nothing for others.
void out(Record &r, std::size_t index, const char **out_text);
void out(Record &r, std::size_t index, char *answer);
void out(Record &r, std::size_t index, std::int32_t *var);
void out(Record &r, std::size_t index, KALPO_TextControl *control);
template <typename T>
void out(Record &, std::size_t, T) {}

// The scope object of one export entry point.
template <typename... A>
class Export {
 public:
  explicit Export(const char *name, A... args) : args_(args...) {
    if (mode == Mode::off) return;
    record_ = begin(name);
    if (!record_) return;
    try {
      std::apply([this](auto... a) { (arg(*record_, a), ...); }, args_);
    } catch (...) {
      discard(record_);
      record_ = nullptr;
    }
  }
  ~Export() {
    if (!record_) return;
    try {
      std::size_t index = 0;
      std::apply([&](auto... a) { (out(*record_, index++, a), ...); }, args_);
    } catch (...) {
    }
    end(record_);
  }
  Export(const Export &) = delete;
  Export &operator=(const Export &) = delete;

 private:
  std::tuple<A...> args_;
  Record *record_ = nullptr;
};

template <typename... A>
Export(const char *, A...) -> Export<A...>;

}  // namespace kalpo::entry::trace

// In an export entry point: records the call under the function's own name.
#define KALPO_TRACE_EXPORT(...) ::kalpo::entry::trace::Export kalpo_trace_export_(__func__ __VA_OPT__(, ) __VA_ARGS__)
