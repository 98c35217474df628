// The device: drawer, paper feed and cutter, spacing, clock.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::int64_t kMaxLines = 99;
constexpr std::int64_t kMaxClockOffset = 100LL * 366 * 86400;

// An integer argument within [low, high].
bool bounded(const Command &c, std::int64_t low, std::int64_t high, std::int64_t &value) {
  return arg_int(c, 0, value) && value >= low && value <= high;
}

}  // namespace

Outcome ops::open_drawer(State &s, Printout &, const Command &) {
  ++s.drawer_openings;
  return Outcome::ok;
}

Outcome ops::feed(State &s, Printout &out, const Command &c) {
  std::int64_t lines = 0;
  if (!bounded(c, 0, kMaxLines, lines)) return Outcome::invalid_argument;
  out.trailing.assign(static_cast<std::size_t>(lines), std::string());
  s.fed_lines += static_cast<std::uint32_t>(lines);
  return Outcome::ok;
}

Outcome ops::cut(State &s, Printout &out, const Command &) {
  out.trailing.emplace_back(kCutLine);
  ++s.cuts;
  return Outcome::ok;
}

Outcome ops::set_lines_between_documents(State &s, Printout &, const Command &c) {
  std::int64_t lines = 0;
  if (!bounded(c, 0, kMaxLines, lines)) return Outcome::invalid_argument;
  s.lines_between_documents = static_cast<int>(lines);
  return Outcome::ok;
}

Outcome ops::toggle_cut_next(State &s, Printout &, const Command &) {
  s.cut_next = !s.cut_next;
  return Outcome::ok;
}

// The clock moves an hour only between documents.
Outcome ops::set_daylight_saving(State &s, Printout &, const Command &c) {
  std::int64_t on = 0;
  if (!bounded(c, 0, 1, on)) return Outcome::invalid_argument;
  if (Outcome o = no_document_open(s); o != Outcome::ok) return o;
  s.daylight_saving = on != 0;
  return Outcome::ok;
}

Outcome ops::set_clock_offset(State &s, Printout &, const Command &c) {
  std::int64_t seconds = 0;
  if (!bounded(c, -kMaxClockOffset, kMaxClockOffset, seconds)) return Outcome::invalid_argument;
  s.clock_offset = seconds;
  return Outcome::ok;
}

Outcome ops::set_value(State &s, Printout &, const Command &c) {
  if (c.args.size() != 2 || c.args[0].empty()) return Outcome::invalid_argument;
  s.values[c.args[0]] = c.args[1];
  return Outcome::ok;
}

Outcome Session::open_drawer() { return impl_->run("open_drawer", {}); }
Outcome Session::feed(int lines) { return impl_->run("feed", {number(lines)}); }
Outcome Session::cut() { return impl_->run("cut", {}); }
Outcome Session::set_lines_between_documents(int lines) {
  return impl_->run("set_lines_between_documents", {number(lines)});
}
Outcome Session::toggle_cut_next() { return impl_->run("toggle_cut_next", {}); }
Outcome Session::set_daylight_saving(bool on) { return impl_->run("set_daylight_saving", {on ? "1" : "0"}); }
Outcome Session::set_clock_offset(std::int64_t seconds) { return impl_->run("set_clock_offset", {number(seconds)}); }
Outcome Session::set_value(std::string_view name, std::string_view value) {
  return impl_->run("set_value", {std::string(name), std::string(value)});
}

}  // namespace ksim
