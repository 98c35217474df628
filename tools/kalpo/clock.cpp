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

// Seconds from "90", "1d", "-2h", "30m", "+45s".
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

std::string clock_text(std::int64_t when) {
  const ksim::DateTime t = ksim::civil(when);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

}  // namespace

int cmd_clock(const Global &g, const std::string &library, const std::optional<std::string> &offset) {
  const bool set = offset.has_value();
  const std::int64_t seconds = set ? parse_offset(*offset) : 0;
  nlohmann::json out = nlohmann::json::object();
  int status = kExitDone;
  for (const std::string &lib : libraries(library)) {
    // Setting the clock makes the printer; looking at it does not.
    std::optional<ksim::Session> made;
    if (set) made.emplace(ksim::Printer::of(lib).begin("kalpo clock", ksim::Call::inspect));
    Look l = look(lib);
    if (l.absent()) {
      if (!g.json && !library.empty()) std::cout << no_printer_yet(l) << '\n';
      continue;
    }
    if (!l.session) {
      status = report_refusal(g, l, out[lib]);
      continue;
    }
    ksim::Session &session = *l.session;
    if (set && session.set_clock_offset(seconds) != ksim::Outcome::ok)
      throw std::runtime_error(lib + ": the printer did not take the new offset");
    const std::string now = clock_text(session.now());
    out[lib] = {{"offset", session.state().clock_offset}, {"now", now}};
    if (!g.json) std::cout << lib << ": offset " << session.state().clock_offset << " s, printer clock " << now << '\n';
  }
  if (g.json) print_json(out);
  return status;
}

}  // namespace kt
