// clock: the virtual printers' clock offset, shown or set.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <limits>

#include <nlohmann/json.hpp>

#include "exports.h"
#include "output.h"
#include "printer_view.h"

namespace kt {
namespace {

// Far enough for any test of a fiscal day, near enough for the printer's
// four-digit years.
constexpr std::int64_t kLargestOffset = 100LL * 366 * 86400;

std::string clock_text(std::int64_t when) {
  const ksim::DateTime t = ksim::civil(when);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace

std::int64_t parse_offset(const std::string &text) {
  std::int64_t value = 0;
  const char *begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(begin, end, value);
  const std::string unit(stop, end);
  const std::int64_t scale = unit.empty() || unit == "s" ? 1
                             : unit == "m"               ? 60
                             : unit == "h"               ? 3600
                             : unit == "d"               ? 86400
                                                         : 0;
  const std::string what = "--set: '" + as_utf8(text) + "'";
  if ((error != std::errc() && error != std::errc::result_out_of_range) || stop == begin || scale == 0)
    throw UsageError(what + " is not an offset (seconds, or a number with d, h, m or s)");
  if (error == std::errc::result_out_of_range || value > kLargestOffset / scale || value < -kLargestOffset / scale)
    throw UsageError(what + " is beyond 100 years");
  return value * scale;
}

ClockReading clock_of(const std::string &library, std::optional<std::int64_t> seconds) {
  // Setting the clock makes the printer; looking at it does not.
  std::optional<ksim::Session> made;
  if (seconds) made.emplace(ksim::Printer::of(library).begin("kalpo clock", ksim::Call::inspect));
  ClockReading reading{std::move(made), view_printer(library), nullptr};
  if (!reading.look.session) return reading;
  ksim::Session &session = *reading.look.session;
  if (seconds && session.set_clock_offset(*seconds) != ksim::Outcome::ok)
    throw std::runtime_error(library + ": the printer did not take the new offset");
  reading.entry = {{"offset", session.state().clock_offset}, {"now", clock_text(session.now())}};
  return reading;
}

int cmd_clock(const Global &g, const std::string &library, const std::optional<std::string> &offset) {
  const bool set = offset.has_value();
  const std::int64_t seconds = set ? parse_offset(*offset) : 0;
  nlohmann::json out = nlohmann::json::object();
  int status = kExitDone;
  for (const std::string &lib : libraries(library)) {
    const ClockReading reading = clock_of(lib, set ? std::optional(seconds) : std::nullopt);
    const PrinterView &l = reading.look;
    if (l.absent()) {
      if (!g.json && !library.empty()) std::cout << no_printer_yet(l) << '\n';
      continue;
    }
    if (!l.session) {
      status = report_refusal(g, l, out[lib]);
      continue;
    }
    out[lib] = reading.entry;
    if (!g.json)
      std::cout << lib << ": offset " << reading.entry["offset"] << " s, printer clock "
                << reading.entry["now"].get<std::string>() << '\n';
  }
  if (g.json) print_json(out);
  return status;
}

}  // namespace kt
